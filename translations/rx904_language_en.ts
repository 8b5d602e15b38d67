<?xml version="1.0" encoding="utf-8"?>
<!DOCTYPE TS>
<TS version="2.1" language="en" sourcelanguage="zh_CN">
<context>
    <name>Lists</name>
    <message>
        <source>、</source>
        <comment>between the items of a list</comment>
        <translation>, </translation>
    </message>
</context>
<context>
    <name>Messages</name>
    <message>
        <source>你输入的值有误，请输入0-9的数据，不能含字母！</source>
        <translation>The value you entered is not valid. Enter digits 0-9 only, without letters.</translation>
    </message>
    <message>
        <source>你输入的值有误，正确的值范围为0-2!</source>
        <translation>The value you entered is not valid. The valid range is 0-2.</translation>
    </message>
    <message>
        <source>你输入的值有误，正确的值范围为2400,4800,9600,19200或38400!</source>
        <translation>The value you entered is not valid. Valid values are 2400, 4800, 9600, 19200 or 38400.</translation>
    </message>
    <message>
        <source>你输入的值有误，正确的值范围为-65536到65535!</source>
        <translation>The value you entered is not valid. The valid range is -65536 to 65535.</translation>
    </message>
    <message>
        <source>你输入的值有误，正确的值范围为0-65535!</source>
        <translation>The value you entered is not valid. The valid range is 0-65535.</translation>
    </message>
    <message>
        <source>请指定正确的设备地址，正确值范围为1-250</source>
        <translation>Enter a valid device address. The valid range is 1-250.</translation>
    </message>
</context>
<context>
    <name>Modbus</name>
    <message>
        <source>异常码 %1</source>
        <translation>exception code %1</translation>
    </message>
    <message>
        <source>异常码 %1（%2）</source>
        <translation>exception code %1 (%2)</translation>
    </message>
    <message>
        <source>非法功能</source>
        <translation>illegal function</translation>
    </message>
    <message>
        <source>非法数据地址</source>
        <translation>illegal data address</translation>
    </message>
    <message>
        <source>非法数据值</source>
        <translation>illegal data value</translation>
    </message>
    <message>
        <source>从站设备故障</source>
        <translation>server device failure</translation>
    </message>
    <message>
        <source>确认</source>
        <translation>acknowledge</translation>
    </message>
    <message>
        <source>从站设备忙</source>
        <translation>server device busy</translation>
    </message>
    <message>
        <source>存储奇偶性差错</source>
        <translation>memory parity error</translation>
    </message>
    <message>
        <source>不可用网关路径</source>
        <translation>gateway path unavailable</translation>
    </message>
    <message>
        <source>网关目标设备响应失败</source>
        <translation>gateway target device failed to respond</translation>
    </message>
</context>
<context>
    <name>RegisterMap</name>
    <message>
        <source>测量值</source>
        <translation>Measured</translation>
    </message>
    <message>
        <source>原始电压值</source>
        <translation>Raw voltage</translation>
    </message>
    <message>
        <source>报警状态</source>
        <translation>Alarm state</translation>
    </message>
    <message>
        <source>报警高值</source>
        <translation>Alarm high</translation>
    </message>
    <message>
        <source>值范围为：1到999</source>
        <translation>Range: 1 to 999</translation>
    </message>
    <message>
        <source>报警低值</source>
        <translation>Alarm low</translation>
    </message>
    <message>
        <source>值范围为：0到999</source>
        <translation>Range: 0 to 999</translation>
    </message>
    <message>
        <source>控制回差</source>
        <translation>Hysteresis</translation>
    </message>
    <message>
        <source>校 正 值</source>
        <translation>Correction</translation>
    </message>
    <message>
        <source>值范围为：-99到99</source>
        <translation>Range: -99 to 99</translation>
    </message>
    <message>
        <source>控制模式</source>
        <translation>Mode</translation>
    </message>
    <message>
        <source>1-正常控制模式 2-反向超限控制</source>
        <translation>1-normal control 2-reverse over-limit</translation>
    </message>
    <message>
        <source>波特率</source>
        <translation>Baud rate</translation>
    </message>
    <message>
        <source>值:2400,4800,9600,19200,38400</source>
        <translation>Values: 2400,4800,9600,19200,38400</translation>
    </message>
    <message>
        <source>设备地址</source>
        <translation>Address</translation>
    </message>
    <message>
        <source>电压高值</source>
        <translation>Voltage high</translation>
    </message>
    <message>
        <source>值范围为：0-50000</source>
        <translation>Range: 0-50000</translation>
    </message>
    <message>
        <source>电压低值</source>
        <translation>Voltage low</translation>
    </message>
    <message>
        <source>值范围为：0-10000</source>
        <translation>Range: 0-10000</translation>
    </message>
    <message>
        <source>显示高值</source>
        <translation>Display high</translation>
    </message>
    <message>
        <source>值范围为：0-65535</source>
        <translation>Range: 0-65535</translation>
    </message>
    <message>
        <source>显示低值</source>
        <translation>Display low</translation>
    </message>
    <message>
        <source>值范围为：0-999</source>
        <translation>Range: 0-999</translation>
    </message>
    <message>
        <source>输入电压</source>
        <translation>Input</translation>
    </message>
    <message>
        <source>值范围为：2,5</source>
        <translation>Values: 2, 5</translation>
    </message>
</context>
</TS>
