<?xml version="1.0" encoding="utf-8"?>
<!DOCTYPE TS>
<TS version="2.1" language="en" sourcelanguage="zh_CN">
<context>
    <name>DeviceReport</name>
    <message>
        <source>&lt;h2&gt;RX904 调试报告&lt;/h2&gt;&lt;table cellpadding=&quot;2&quot;&gt;</source>
        <translation>&lt;h2&gt;RX904 commissioning report&lt;/h2&gt;&lt;table cellpadding=&quot;2&quot;&gt;</translation>
    </message>
    <message>
        <source>日期时间</source>
        <translation>Date and time</translation>
    </message>
    <message>
        <source>串口</source>
        <translation>Port</translation>
    </message>
    <message>
        <source>波特率</source>
        <translation>Baud rate</translation>
    </message>
    <message>
        <source>设备地址</source>
        <translation>Address</translation>
    </message>
    <message>
        <source>识别信息</source>
        <translation>Identification</translation>
    </message>
    <message>
        <source>&lt;/table&gt;&lt;p&gt;&lt;b&gt;结果：%1&lt;/b&gt;&lt;/p&gt;</source>
        <translation>&lt;/table&gt;&lt;p&gt;&lt;b&gt;Result: %1&lt;/b&gt;&lt;/p&gt;</translation>
    </message>
    <message>
        <source>参数</source>
        <translation>Parameter</translation>
    </message>
    <message>
        <source>寄存器（读 / 写）</source>
        <translation>Register (read / write)</translation>
    </message>
    <message>
        <source>文件中的值</source>
        <translation>In file</translation>
    </message>
    <message>
        <source>写入前</source>
        <translation>Before</translation>
    </message>
    <message>
        <source>写入值</source>
        <translation>Written</translation>
    </message>
    <message>
        <source>读回值</source>
        <translation>Read back</translation>
    </message>
    <message>
        <source>结果</source>
        <translation>Result</translation>
    </message>
    <message>
        <source>合格：%1 项已写入并校验</source>
        <translation>Pass: %1 values written and verified</translation>
    </message>
    <message>
        <source>不合格：%1 项中 %2 项已写入并校验%3</source>
        <translation>Fail: %2 of %1 values written and verified%3</translation>
    </message>
    <message>
        <source>；</source>
        <translation>; </translation>
    </message>
    <message>
        <source>RX904 调试报告</source>
        <translation>RX904 commissioning report</translation>
    </message>
    <message>
        <source>RX904 工具</source>
        <translation>RX904 Tool</translation>
    </message>
    <message>
        <source>无法写入文件 %1：%2</source>
        <translation>The file %1 cannot be written: %2</translation>
    </message>
</context>
</TS>
