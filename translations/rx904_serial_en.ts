<?xml version="1.0" encoding="utf-8"?>
<!DOCTYPE TS>
<TS version="2.1" language="en" sourcelanguage="zh_CN">
<context>
    <name>OpenFailure</name>
    <message>
        <source>，</source>
        <comment>between the items of a list</comment>
        <translation>, </translation>
    </message>
    <message>
        <source>本机当前没有串口设备。</source>
        <translation>This computer has no serial devices at present.</translation>
    </message>
    <message>
        <source>本机当前有 %1 个串口设备，但没有串口号对应它们。</source>
        <translation>This computer has %1 serial device(s) at present, but no COM number maps to any of them.</translation>
    </message>
    <message>
        <source>本机当前有 %1 个串口设备，各串口号对应的设备：%2。</source>
        <translation>This computer has %1 serial device(s) at present; the COM numbers map to: %2.</translation>
    </message>
    <message>
        <source>COM%1 当前没有对应的串口设备。</source>
        <translation>No serial device maps to COM%1 at present. </translation>
    </message>
    <message>
        <source>%1 指定的设备 %2 不存在。</source>
        <translation>The device %2 named by %1 does not exist. </translation>
    </message>
    <message>
        <source>COM%1 对应的设备 %2 已不存在。</source>
        <translation>The device %2 of COM%1 no longer exists. </translation>
    </message>
    <message>
        <source>先前列出的 USB 串口转换器 %1 已经消失。</source>
        <translation>The USB serial adapter %1 listed before has disappeared. </translation>
    </message>
    <message>
        <source>有 %1 个 USB 接口正被某个程序直接占用，没有成为串口设备。</source>
        <translation>%1 USB interface(s) are held directly by a program and did not become serial devices. </translation>
    </message>
    <message>
        <source>本机装有盲文显示器服务 brltty，它可能把 USB 串口转换器（如 CH340、CP2102）当作盲文显示器占用了。</source>
        <translation>The braille display service brltty is installed on this computer; it may have taken the USB serial adapter (such as a CH340 or CP2102) for a braille display. </translation>
    </message>
    <message>
        <source>如果不使用盲文显示器，可执行 sudo apt remove brltty 将其卸载；或执行 sudo systemctl disable --now brltty.service 停用该服务，并执行 sudo systemctl mask brltty-udev.service。然后拔下转换器再重新插上。</source>
        <translation>If no braille display is used, remove brltty with sudo apt remove brltty, or stop the service with sudo systemctl disable --now brltty.service and sudo systemctl mask brltty-udev.service. Then unplug the adapter and plug it in again.</translation>
    </message>
    <message>
        <source>如果不使用盲文显示器，可执行 sudo apt remove brltty 将其卸载；或执行 sudo systemctl disable --now brltty.service 停用该服务。然后拔下转换器再重新插上。</source>
        <translation>If no braille display is used, remove brltty with sudo apt remove brltty, or stop the service with sudo systemctl disable --now brltty.service. Then unplug the adapter and plug it in again.</translation>
    </message>
    <message>
        <source>没有权限读写 %1。当前用户已加入该设备所属的 %2 组，但要注销并重新登录后才生效。</source>
        <translation>No permission to read and write %1. The current user has been added to its group %2, but this takes effect only after logging out and in again.</translation>
    </message>
    <message>
        <source>没有权限读写 %1：该设备属于 %2 组，当前用户不在该组中。请执行以下命令，然后注销并重新登录：
sudo usermod -aG %2 $USER</source>
        <translation>No permission to read and write %1: the device belongs to the group %2, and the current user is not in that group. Run the following command, then log out and in again:
sudo usermod -aG %2 $USER</translation>
    </message>
    <message>
        <source>没有权限读写 %1：其权限为 %2（属主 %3，组 %4），当前用户无权读写。</source>
        <translation>No permission to read and write %1: its mode is %2 (owner %3, group %4), which does not let the current user read and write it.</translation>
    </message>
    <message>
        <source>%1（进程号 %2）</source>
        <translation>%1 (process %2)</translation>
    </message>
    <message>
        <source>%1（进程号 %2，锁文件 %3）</source>
        <translation>%1 (process %2, lock file %3)</translation>
    </message>
    <message>
        <source>%1 正被程序 %2 占用。请先关闭该程序，再打开串口。</source>
        <translation>%1 is in use by %2. Close that program first, then open the port.</translation>
    </message>
    <message>
        <source>%1 已被另一个程序独占。请先关闭该程序，再打开串口。</source>
        <translation>%1 is held exclusively by another program. Close that program first, then open the port.</translation>
    </message>
    <message>
        <source>打开 %1 失败，系统没有说明原因。</source>
        <translation>Opening %1 failed; the system gave no reason.</translation>
    </message>
    <message>
        <source>打开 %1 失败，系统报告：%2</source>
        <translation>Opening %1 failed; the system reports: %2</translation>
    </message>
    <message>
        <source>“%1”不是有效的串口服务器地址，应为 tcp://主机:端口，例如 tcp://192.168.1.200:4001。</source>
        <translation>“%1” is not a valid device server address; write tcp://HOST:PORT, for example tcp://192.168.1.200:4001.</translation>
    </message>
    <message>
        <source>找不到串口服务器的主机名 %1。请检查名称，或改用 IP 地址。</source>
        <translation>The device server&apos;s host name %1 was not found. Check the name, or use the IP address instead.</translation>
    </message>
    <message>
        <source>串口服务器 %1 拒绝了连接：该端口上没有程序接受连接。请检查端口号和转换器的 TCP 服务器设置；转换器通常同一时间只接受一个连接，也可能另一个程序正连着它。</source>
        <translation>The device server %1 refused the connection: no program accepts connections on that port. Check the port number and the converter&apos;s TCP server settings; a converter usually accepts one connection at a time, so another program may be connected to it.</translation>
    </message>
    <message>
        <source>连接串口服务器 %1 超时：%2 秒内没有应答。请检查转换器的电源、网线和 IP 地址，以及本机与它是否在同一网段。</source>
        <translation>Connecting to the device server %1 timed out: no answer within %2 seconds. Check the converter&apos;s power, network cable and IP address, and whether this computer is on the same subnet.</translation>
    </message>
    <message>
        <source>连接串口服务器 %1 失败，系统没有说明原因。</source>
        <translation>Connecting to the device server %1 failed; the system gave no reason.</translation>
    </message>
    <message>
        <source>连接串口服务器 %1 失败，系统报告：%2</source>
        <translation>Connecting to the device server %1 failed; the system reports: %2</translation>
    </message>
    <message>
        <source>本机当前没有串口。</source>
        <translation>This computer has no serial ports at present. </translation>
    </message>
    <message>
        <source>本机当前的串口：%1。</source>
        <translation>Serial ports on this computer: %1. </translation>
    </message>
    <message>
        <source>本机没有串口 %1。</source>
        <translation>This computer has no serial port %1. </translation>
    </message>
    <message>
        <source>请按设备管理器“端口 (COM 和 LPT)”中显示的名称选择串口号；USB 转换器要插上并装好驱动后才会出现在那里。</source>
        <translation>Choose the port number by the name shown under “Ports (COM &amp; LPT)” in Device Manager; a USB adapter appears there only once it is plugged in and its driver is installed.</translation>
    </message>
    <message>
        <source>%1 拒绝访问：它正被另一个程序打开，而 Windows 的串口同一时间只能由一个程序打开。请关闭该程序（例如串口调试助手，或另一个本工具窗口），再打开串口。</source>
        <translation>Access to %1 is denied: another program has it open, and Windows lets only one program at a time open a serial port. Close that program (a serial terminal, for example, or another window of this tool), then open the port.</translation>
    </message>
    <message>
        <source>打开 %1 失败，串口驱动报告：%2。请拔下 USB 转换器再插上；如仍失败，请在设备管理器中检查该端口的驱动。</source>
        <translation>Opening %1 failed; the port&apos;s driver reports: %2. Unplug the USB adapter and plug it in again; if it still fails, check the port&apos;s driver in Device Manager.</translation>
    </message>
    <message>
        <source>未说明原因</source>
        <translation>no reason given</translation>
    </message>
    <message>
        <source>没有权限访问 %1：当前用户不能进入目录 %2。</source>
        <translation>No permission to reach %1: the current user cannot enter the folder %2.</translation>
    </message>
</context>
<context>
    <name>PortMap</name>
    <message>
        <source>选项 --port COM%1=%2</source>
        <translation>the option --port COM%1=%2</translation>
    </message>
    <message>
        <source>环境变量 %1</source>
        <translation>the environment variable %1</translation>
    </message>
</context>
<context>
    <name>PortNames</name>
    <message>
        <source>固定名称：%1</source>
        <translation>Fixed name: %1</translation>
    </message>
    <message>
        <source>描述：%1</source>
        <translation>Description: %1</translation>
    </message>
    <message>
        <source>制造商：%1</source>
        <translation>Manufacturer: %1</translation>
    </message>
    <message>
        <source>USB 厂商 ID：%1</source>
        <translation>USB vendor ID: %1</translation>
    </message>
    <message>
        <source>USB 产品 ID：%1</source>
        <translation>USB product ID: %1</translation>
    </message>
    <message>
        <source>序列号：%1</source>
        <translation>Serial number: %1</translation>
    </message>
    <message>
        <source>%1：当前没有对应的串口设备</source>
        <translation>%1: no serial device at present</translation>
    </message>
    <message>
        <source>%1 → 串口服务器 %2（经 TCP 连接，由%3 指定）</source>
        <translation>%1 → device server %2 (over TCP, named by %3)</translation>
    </message>
    <message>
        <source>%1 → %2（由%3 指定）</source>
        <translation>%1 → %2 (named by %3)</translation>
    </message>
</context>
<context>
    <name>serial::SerialPortTransport</name>
    <message>
        <source>设备 %1 已断开</source>
        <translation>The device %1 has been disconnected.</translation>
    </message>
</context>
<context>
    <name>serial::TcpTransport</name>
    <message>
        <source>串口服务器 %1 关闭了连接</source>
        <translation>The device server %1 closed the connection.</translation>
    </message>
</context>
<context>
    <name>serial::Win32Transport</name>
    <message>
        <source>错误 %1</source>
        <translation>error %1</translation>
    </message>
    <message>
        <source>设备 %1 已断开（系统报告：%2）</source>
        <translation>The device %1 has been disconnected (the system reports: %2).</translation>
    </message>
</context>
</TS>
