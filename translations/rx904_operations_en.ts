<?xml version="1.0" encoding="utf-8"?>
<!DOCTYPE TS>
<TS version="2.1" language="en" sourcelanguage="zh_CN">
<context>
    <name>Messages</name>
    <message>
        <source>RX904工具</source>
        <translation>RX904 Tool</translation>
    </message>
    <message>
        <source>出错提示</source>
        <translation>Error</translation>
    </message>
    <message>
        <source>串口已打开或被占用！</source>
        <translation>The port is already open or in use.</translation>
    </message>
    <message>
        <source>请选择端口</source>
        <translation>Select a port.</translation>
    </message>
    <message>
        <source>你输入的设备地址格式有误!</source>
        <translation>The device address you entered is not valid.</translation>
    </message>
    <message>
        <source>你输入的功能码格式有误!</source>
        <translation>The function code you entered is not valid.</translation>
    </message>
    <message>
        <source>你输入的数据长度格式有误!</source>
        <translation>The data length you entered is not valid.</translation>
    </message>
    <message>
        <source>你输入的起始地址格式有误!</source>
        <translation>The start address you entered is not valid.</translation>
    </message>
    <message>
        <source>你输入的数据长度格式有误,正确的值应该为1-15!</source>
        <translation>The data length you entered is not valid. It must be 1-15.</translation>
    </message>
    <message>
        <source>打开串口出错，请确定串口是否已被占用</source>
        <translation>The port could not be opened. Check whether another program is using it.</translation>
    </message>
    <message>
        <source>设备拒绝了请求：</source>
        <translation>The device refused the request: </translation>
    </message>
    <message>
        <source>你输入的定时时长格式有误，应该为数字，值范围为100-60000!</source>
        <translation>The period you entered is not valid. It must be a number from 100 to 60000.</translation>
    </message>
    <message>
        <source>你输入的定时时长格式有误，应该为数字，值范围为50-60000!</source>
        <translation>The period you entered is not valid. It must be a number from 50 to 60000.</translation>
    </message>
    <message>
        <source>你输入的原设备地址格式有误!</source>
        <translation>The present device address you entered is not valid.</translation>
    </message>
    <message>
        <source>你输入的目标设备地址格式有误!</source>
        <translation>The new device address you entered is not valid.</translation>
    </message>
    <message>
        <source>请指定正确的设备地址，正确值范围为1-250!</source>
        <translation>Enter a valid device address. The valid range is 1-250.</translation>
    </message>
</context>
<context>
    <name>ops::CommAdapter</name>
    <message>
        <source>关闭串口 COM%1</source>
        <translation>Closed port COM%1</translation>
    </message>
    <message>
        <source>打开串口 COM%1（%2），%3</source>
        <translation>Opened port COM%1 (%2), %3</translation>
    </message>
    <message>
        <source>打开串口 COM%1（%2）</source>
        <translation>Opened port COM%1 (%2)</translation>
    </message>
</context>
</TS>
