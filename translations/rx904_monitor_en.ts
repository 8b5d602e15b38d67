<?xml version="1.0" encoding="utf-8"?>
<!DOCTYPE TS>
<TS version="2.1" language="en" sourcelanguage="zh_CN">
<context>
    <name>ExchangeMonitor</name>
    <message>
        <source>应答 设备信息 %1</source>
        <translation>Answer: device info %1</translation>
    </message>
    <message>
        <source>应答 地址 %1</source>
        <translation>Answer: address %1</translation>
    </message>
    <message>
        <source>应答 已写入</source>
        <translation>Answer: written</translation>
    </message>
    <message>
        <source>应答 %1个寄存器</source>
        <translation>Answer: %1 registers</translation>
    </message>
    <message>
        <source>应答</source>
        <translation>Answer</translation>
    </message>
    <message>
        <source>应答 站号不符 (站%1)</source>
        <translation>Answer from the wrong station (station %1)</translation>
    </message>
    <message>
        <source>应答 功能码不符 (0x%1)</source>
        <translation>Answer with the wrong function code (0x%1)</translation>
    </message>
    <message>
        <source>应答 内容与请求不符</source>
        <translation>Answer does not match the request</translation>
    </message>
    <message>
        <source>请求 %1字节</source>
        <translation>Request of %1 bytes</translation>
    </message>
    <message>
        <source>读地址</source>
        <translation>Read address</translation>
    </message>
    <message>
        <source>读寄存器 站%1 起始%2 数量%3</source>
        <translation>Read registers station %1 start %2 count %3</translation>
    </message>
    <message>
        <source>修改地址 %1 → %2</source>
        <translation>Change address %1 → %2</translation>
    </message>
    <message>
        <source>写参数 %1 = %2</source>
        <translation>Write %1 = %2</translation>
    </message>
    <message>
        <source>写寄存器 站%1 地址0x%2 = %3</source>
        <translation>Write register station %1 address 0x%2 = %3</translation>
    </message>
    <message>
        <source>读设备信息</source>
        <translation>Read device info</translation>
    </message>
    <message>
        <source>请求 站%1 功能码 0x%2</source>
        <translation>Request station %1 function 0x%2</translation>
    </message>
    <message>
        <source>不完整 (收到 %1/%2 字节)</source>
        <translation>Incomplete (%1/%2 bytes received)</translation>
    </message>
    <message>
        <source>不完整 (收到 %1 字节)</source>
        <translation>Incomplete (%1 bytes received)</translation>
    </message>
    <message>
        <source>CRC 错误</source>
        <translation>CRC error</translation>
    </message>
    <message>
        <source>异常应答 功能码 0x%1 %2</source>
        <translation>Exception, function 0x%1, %2</translation>
    </message>
    <message>
        <source>被下一请求打断 (收到 %1/%2 字节)</source>
        <translation>Cut off by the next request (%1/%2 bytes received)</translation>
    </message>
    <message>
        <source>被打断应答的其余 %1 字节</source>
        <translation>The other %1 bytes of the cut-off answer</translation>
    </message>
    <message>
        <source>无应答</source>
        <translation>No answer</translation>
    </message>
    <message>
        <source>无请求时收到的数据</source>
        <translation>Data received with no request</translation>
    </message>
</context>
<context>
    <name>Record</name>
    <message>
        <source>无法写入文件“%1”：%2</source>
        <translation>Cannot write the file &quot;%1&quot;: %2</translation>
    </message>
    <message>
        <source>发送</source>
        <translation>Sent</translation>
    </message>
    <message>
        <source>接收</source>
        <translation>Received</translation>
    </message>
    <message>
        <source>串口</source>
        <translation>Port</translation>
    </message>
    <message>
        <source>请求</source>
        <translation>Request</translation>
    </message>
    <message>
        <source>完整</source>
        <translation>Complete</translation>
    </message>
    <message>
        <source>CRC 错误</source>
        <translation>CRC error</translation>
    </message>
    <message>
        <source>异常应答</source>
        <translation>Exception</translation>
    </message>
    <message>
        <source>不完整</source>
        <translation>Incomplete</translation>
    </message>
    <message>
        <source>被打断</source>
        <translation>Interrupted</translation>
    </message>
    <message>
        <source>无应答</source>
        <translation>No answer</translation>
    </message>
    <message>
        <source>无请求</source>
        <translation>Unsolicited</translation>
    </message>
    <message>
        <source>事件</source>
        <translation>Event</translation>
    </message>
</context>
</TS>
