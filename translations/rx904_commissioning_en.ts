<?xml version="1.0" encoding="utf-8"?>
<!DOCTYPE TS>
<TS version="2.1" language="en" sourcelanguage="zh_CN">
<context>
    <name>Commissioner</name>
    <message>
        <source>未写入</source>
        <translation>Not written</translation>
    </message>
    <message>
        <source>已写入</source>
        <translation>Written</translation>
    </message>
    <message>
        <source>已写入并校验</source>
        <translation>Written and verified</translation>
    </message>
    <message>
        <source>写入失败：%1</source>
        <translation>Write failed: %1</translation>
    </message>
    <message>
        <source>已写入，校验不符：%1</source>
        <translation>Written, but the read-back differs: %1</translation>
    </message>
    <message>
        <source>已写入，未能校验：%1</source>
        <translation>Written, but not verified: %1</translation>
    </message>
    <message>
        <source>已取消</source>
        <translation>Cancelled</translation>
    </message>
    <message>
        <source>（无识别信息）</source>
        <translation>(no identification)</translation>
    </message>
    <message>
        <source>在%1种波特率下都没有设备应答</source>
        <translation>No device answered at any of the %1 baud rates</translation>
    </message>
    <message>
        <source>五</source>
        <translation>five</translation>
    </message>
    <message>
        <source>在 %1 波特率下没有设备应答</source>
        <translation>No device answered at %1 baud</translation>
    </message>
    <message>
        <source>读取参数失败：%1</source>
        <translation>Reading the parameters failed: %1</translation>
    </message>
    <message>
        <source>写入在“%1”处停止：%2</source>
        <translation>The write stopped at &quot;%1&quot;: %2</translation>
    </message>
    <message>
        <source>写入后读回失败：%1</source>
        <translation>Reading back after the write failed: %1</translation>
    </message>
    <message>
        <source>设备中为 %1</source>
        <translation>the device holds %1</translation>
    </message>
    <message>
        <source>有参数读回与写入不符</source>
        <translation>Some parameters read back differ from what was written</translation>
    </message>
</context>
<context>
    <name>DeviceClient</name>
    <message>
        <source>正常</source>
        <translation>OK</translation>
    </message>
    <message>
        <source>无应答（超时）</source>
        <translation>no answer (timed out)</translation>
    </message>
    <message>
        <source>应答不完整</source>
        <translation>incomplete answer</translation>
    </message>
    <message>
        <source>应答校验码错误</source>
        <translation>answer with a wrong CRC</translation>
    </message>
    <message>
        <source>应答来自其他设备地址</source>
        <translation>answer from another address</translation>
    </message>
    <message>
        <source>应答功能码不符</source>
        <translation>answer with the wrong function code</translation>
    </message>
    <message>
        <source>应答长度或内容不符</source>
        <translation>answer of the wrong length or content</translation>
    </message>
    <message>
        <source>设备拒绝（异常码 %1）</source>
        <translation>refused by the device (exception code %1)</translation>
    </message>
    <message>
        <source>串口未打开</source>
        <translation>the port is not open</translation>
    </message>
</context>
<context>
    <name>ParameterFile</name>
    <message>
        <source>%1 不是整数</source>
        <translation>%1 is not a whole number</translation>
    </message>
    <message>
        <source>%1 超出范围 %2 到 %3</source>
        <translation>%1 is outside the range %2 to %3</translation>
    </message>
    <message>
        <source>%1 不是允许的值（%2）</source>
        <translation>%1 is not an allowed value (%2)</translation>
    </message>
    <message>
        <source>（%1）：%2</source>
        <translation> (%1): %2</translation>
    </message>
    <message>
        <source>参数行应为“名称 | 寄存器 | 显示值 | 原始值”</source>
        <translation>a parameter line must be &quot;name | register | shown value | raw value&quot;</translation>
    </message>
    <message>
        <source>此处应为参数“%1”</source>
        <translation>the parameter &quot;%1&quot; belongs here</translation>
    </message>
    <message>
        <source>“%1”的寄存器应为 %2</source>
        <translation>the register of &quot;%1&quot; must be %2</translation>
    </message>
    <message>
        <source>原始值应为 0 到 65535 的整数</source>
        <translation>the raw value must be a whole number from 0 to 65535</translation>
    </message>
    <message>
        <source>显示值与原始值不一致</source>
        <translation>the shown value does not match the raw value</translation>
    </message>
    <message>
        <source>：</source>
        <translation>: </translation>
    </message>
    <message>
        <source>第 %1 行%2%3</source>
        <translation>Line %1%2%3</translation>
    </message>
    <message>
        <source>不是 RX904 参数文件（第一行应为“%1%2”）</source>
        <translation>not an RX904 parameter file (the first line must be &quot;%1%2&quot;)</translation>
    </message>
    <message>
        <source>文件版本“%1”不受支持，本工具读取版本 %2</source>
        <translation>file version &quot;%1&quot; is not supported; this tool reads version %2</translation>
    </message>
    <message>
        <source>应为“名称 = 值”</source>
        <translation>must be &quot;name = value&quot;</translation>
    </message>
    <message>
        <source>“%1”重复</source>
        <translation>&quot;%1&quot; appears twice</translation>
    </message>
    <message>
        <source>识别文字最多 11 个字符</source>
        <translation>the identification text has at most 11 characters</translation>
    </message>
    <message>
        <source>站号应为 1 到 250 的整数</source>
        <translation>the station must be a whole number from 1 to 250</translation>
    </message>
    <message>
        <source>参数行多于 %1 行</source>
        <translation>more than %1 parameter lines</translation>
    </message>
    <message>
        <source>未知的项目“%1”</source>
        <translation>unknown item &quot;%1&quot;</translation>
    </message>
    <message>
        <source>文件缺少“%1”</source>
        <translation>the file lacks &quot;%1&quot;</translation>
    </message>
    <message>
        <source>文件只有 %1 个参数，应为 %2 个</source>
        <translation>the file has %1 parameters instead of %2</translation>
    </message>
    <message>
        <source>无法打开文件：%1</source>
        <translation>The file cannot be opened: %1</translation>
    </message>
    <message>
        <source>文件过大，不是 RX904 参数文件</source>
        <translation>The file is too large to be an RX904 parameter file</translation>
    </message>
    <message>
        <source>无法保存文件：%1</source>
        <translation>The file cannot be saved: %1</translation>
    </message>
    <message>
        <source>文件未保存（原有文件保持不变）：%1</source>
        <translation>The file was not saved (the existing file is unchanged): %1</translation>
    </message>
</context>
</TS>
