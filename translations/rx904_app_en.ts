<?xml version="1.0" encoding="utf-8"?>
<!DOCTYPE TS>
<TS version="2.1" language="en" sourcelanguage="zh_CN">
<context>
    <name>CommandLine</name>
    <message>
        <source>用法：%1 [选项]
RX904智能电压控制器工具软件

选项：
</source>
        <translation>Usage: %1 [options]
RX904 smart voltage controller tool

Options:
</translation>
    </message>
    <message>
        <source>显示本帮助并退出</source>
        <translation>Show this help and exit</translation>
    </message>
    <message>
        <source>显示版本并退出</source>
        <translation>Show the version and exit</translation>
    </message>
    <message>
        <source>COMn 对应的设备，与环境变量 RX904_COMn 相同（n 为 1-25，可重复）；串口服务器写作 tcp://主机:端口</source>
        <translation>The device behind COMn, as the environment variable RX904_COMn (n is 1-25; may be repeated); a device server is written tcp://HOST:PORT</translation>
    </message>
    <message>
        <source>启动后立即打开“设备配置”窗口</source>
        <translation>Open the device configuration window at start</translation>
    </message>
    <message>
        <source>启动时同时打开通讯监视窗口</source>
        <translation>Open the traffic monitor at start</translation>
    </message>
    <message>
        <source>界面语言：zh（中文）或 en（英文）；默认按桌面的语言选择</source>
        <translation>Language of the windows: zh (Chinese) or en (English); by default the desktop&apos;s language</translation>
    </message>
    <message>
        <source>选项 --port 缺少值</source>
        <translation>The option --port needs a value.</translation>
    </message>
    <message>
        <source>选项缺少值或带有多余的值</source>
        <translation>An option is missing its value or has a value it does not take.</translation>
    </message>
    <message>
        <source>未知选项：%1%2</source>
        <translation>Unknown option: %1%2</translation>
    </message>
    <message>
        <source>多余的参数：%1</source>
        <translation>Unexpected argument: %1</translation>
    </message>
    <message>
        <source>--language 的值“%1”有误，应为 zh 或 en</source>
        <translation>The value &quot;%1&quot; of --language is not valid: use zh or en.</translation>
    </message>
    <message>
        <source>--port 的值“%1”有误，应为 COMn=设备，n 为 1-25，例如 --port COM1=/dev/ttyUSB0</source>
        <translation>The value &quot;%1&quot; of --port is not valid: use COMn=DEVICE with n from 1 to 25, for example --port COM1=/dev/ttyUSB0.</translation>
    </message>
    <message>
        <source>--port 的值“%1”不是有效的串口服务器地址，应为 tcp://主机:端口，端口为 1-65535，例如 tcp://192.168.1.200:4001</source>
        <translation>The value &quot;%1&quot; of --port is not a valid device server address: use tcp://HOST:PORT with a port from 1 to 65535, for example tcp://192.168.1.200:4001.</translation>
    </message>
</context>
<context>
    <name>HelpWindow</name>
    <message>
        <source>窗口与按键</source>
        <translation>Windows and keys</translation>
    </message>
    <message>
        <source>&lt;p&gt;主窗口读写一台 RX904；在主窗口空白处单击右键，菜单中列出以下窗口及其按键。&lt;/p&gt;</source>
        <translation>&lt;p&gt;The main window reads and writes one RX904. Right-click an empty part of the main window: the menu lists the windows below and their keys.&lt;/p&gt;</translation>
    </message>
    <message>
        <source>帮助（本窗口）</source>
        <translation>Help (this window)</translation>
    </message>
    <message>
        <source>通讯监视：每一帧的时间、字节、含义和判定，计数、趋势，可保存记录和数值</source>
        <translation>Traffic monitor: the time, bytes, meaning and verdict of every frame, counters and trends; the record and the values can be saved</translation>
    </message>
    <message>
        <source>设备配置：查找设备，读取、保存、载入参数，写入并校验，保存报告</source>
        <translation>Device configuration: find devices, read, save and load parameters, write and verify them, save a report</translation>
    </message>
    <message>
        <source>在尚未写入设备的数值框中：放弃输入，显示设备中的值；在设备配置和帮助窗口中：关闭窗口</source>
        <translation>In a value field not yet written to the device: drop the typed value and show the device&apos;s; in the device configuration and help windows: close the window</translation>
    </message>
    <message>
        <source>命令行</source>
        <translation>Command line</translation>
    </message>
    <message>
        <source>&lt;pre&gt;%1&lt;/pre&gt;&lt;p&gt;环境变量 &lt;b&gt;RX904_COMn&lt;/b&gt;（如 RX904_COM1=/dev/ttyUSB0 或 tcp://192.168.1.200:4001）指定 COMn 对应的设备。不用窗口读写设备、适合脚本和生产线的命令行程序是 &lt;b&gt;rx904ctl&lt;/b&gt;，见 rx904ctl --help。&lt;/p&gt;</source>
        <translation>&lt;pre&gt;%1&lt;/pre&gt;&lt;p&gt;The environment variable &lt;b&gt;RX904_COMn&lt;/b&gt; (for example RX904_COM1=/dev/ttyUSB0 or tcp://192.168.1.200:4001) names the device behind COMn. The command-line program &lt;b&gt;rx904ctl&lt;/b&gt; reads and writes devices without a window, for scripts and production lines: see rx904ctl --help.&lt;/p&gt;</translation>
    </message>
    <message>
        <source>文件</source>
        <translation>Files</translation>
    </message>
    <message>
        <source>&lt;p&gt;参数文件（.txt）、调试报告（.pdf）、通讯记录和数值记录（.csv）都保存在您在保存对话框中选择的位置，每个文件要么完整写成，要么不写并说明原因。本工具不保存设置，也不在其他位置写文件。&lt;/p&gt;</source>
        <translation>&lt;p&gt;Parameter files (.txt), commissioning reports (.pdf), traffic records and value logs (.csv) are saved where you choose in the save dialog. Each file is either written whole or not at all, with the reason. The tool saves no settings and writes no files anywhere else.&lt;/p&gt;</translation>
    </message>
    <message>
        <source>关于</source>
        <translation>About</translation>
    </message>
    <message>
        <source>&lt;p&gt;RX904智能电压控制器工具软件 版本 %1&lt;br&gt;许可证：MIT 许可证，全文见随程序附带的 LICENSE 文件&lt;br&gt;Qt 版本 %2（编译时 %3）&lt;/p&gt;</source>
        <translation>&lt;p&gt;RX904 Smart Voltage Controller Tool, version %1&lt;br&gt;Licence: MIT licence, full text in the LICENSE file that comes with the program&lt;br&gt;Qt version %2 (built with %3)&lt;/p&gt;</translation>
    </message>
    <message>
        <source>帮助</source>
        <translation>Help</translation>
    </message>
    <message>
        <source>帮助内容</source>
        <translation>Help contents</translation>
    </message>
    <message>
        <source>关闭</source>
        <translation>Close</translation>
    </message>
</context>
<context>
    <name>MainWindow</name>
    <message>
        <source>串口号</source>
        <translation>Port</translation>
    </message>
    <message>
        <source>波特率</source>
        <translation>Baud</translation>
    </message>
    <message>
        <source>校验位</source>
        <translation>Parity</translation>
    </message>
    <message>
        <source>无校验</source>
        <translation>None</translation>
    </message>
    <message>
        <source>数据位</source>
        <translation>Data</translation>
    </message>
    <message>
        <source>停止位</source>
        <translation>Stop</translation>
    </message>
    <message>
        <source>数据采集通讯状态指示</source>
        <translation>Communication status</translation>
    </message>
    <message>
        <source>红灯</source>
        <translation>Red lamp</translation>
    </message>
    <message>
        <source>打开串口</source>
        <translation>Open port</translation>
    </message>
    <message>
        <source>关闭串口</source>
        <translation>Close port</translation>
    </message>
    <message>
        <source>串口发送数据</source>
        <translation>Data sent</translation>
    </message>
    <message>
        <source>串口接收数据</source>
        <translation>Data received</translation>
    </message>
    <message>
        <source>成功接收/循环 计数</source>
        <translation>Received/Sent</translation>
    </message>
    <message>
        <source>成功接收</source>
        <translation>Received</translation>
    </message>
    <message>
        <source>循环 计数</source>
        <translation>Sent</translation>
    </message>
    <message>
        <source>设备地址</source>
        <translation>Station</translation>
    </message>
    <message>
        <source>功 能 码</source>
        <translation>Function</translation>
    </message>
    <message>
        <source>超始地址</source>
        <translation>Start</translation>
    </message>
    <message>
        <source>数据长度</source>
        <translation>Count</translation>
    </message>
    <message>
        <source>将地址</source>
        <translation>From</translation>
    </message>
    <message>
        <source>修改为</source>
        <translation>to</translation>
    </message>
    <message>
        <source>读地址</source>
        <translation>Read addr.</translation>
    </message>
    <message>
        <source>执行</source>
        <translation>Change</translation>
    </message>
    <message>
        <source>设置</source>
        <translation>Set</translation>
    </message>
    <message>
        <source>设置 %1</source>
        <translation>Set %1</translation>
    </message>
    <message>
        <source>值范围为：750-9000</source>
        <translation>Range: 750-9000</translation>
    </message>
    <message>
        <source>值范围为：1，2，4，8</source>
        <translation>Range: 1, 2, 4, 8</translation>
    </message>
    <message>
        <source>值范围为：4000-4095</source>
        <translation>Range: 4000-4095</translation>
    </message>
    <message>
        <source>定时时长(ms)</source>
        <translation>Period (ms)</translation>
    </message>
    <message>
        <source>单次</source>
        <translation>Read once</translation>
    </message>
    <message>
        <source>循环</source>
        <translation>Poll</translation>
    </message>
    <message>
        <source>停止</source>
        <translation>Stop</translation>
    </message>
    <message>
        <source>设备信息</source>
        <translation>Device info</translation>
    </message>
    <message>
        <source>读设备信息</source>
        <translation>Read info</translation>
    </message>
    <message>
        <source>RX904智能电压控制器工具软件</source>
        <translation>RX904 Smart Voltage Controller Tool</translation>
    </message>
    <message>
        <source>串口设置</source>
        <translation>Serial port</translation>
    </message>
    <message>
        <source>默认参数</source>
        <translation>Presets</translation>
    </message>
    <message>
        <source>水分控制器</source>
        <translation>Moisture</translation>
    </message>
    <message>
        <source>雨雪控制器</source>
        <translation>Rain/snow</translation>
    </message>
    <message>
        <source>风速控制器</source>
        <translation>Wind speed</translation>
    </message>
    <message>
        <source>PH值控制器</source>
        <translation>pH</translation>
    </message>
    <message>
        <source>MODBUS设置</source>
        <translation>MODBUS settings</translation>
    </message>
    <message>
        <source>设备地址修改操作</source>
        <translation>Change device address</translation>
    </message>
    <message>
        <source>产品手册及资料下载地址</source>
        <translation>Manuals and downloads</translation>
    </message>
    <message>
        <source>数据及参数查询</source>
        <translation>Data and parameters</translation>
    </message>
    <message>
        <source>黄灯</source>
        <translation>Yellow lamp</translation>
    </message>
    <message>
        <source>绿灯</source>
        <translation>Green lamp</translation>
    </message>
    <message>
        <source>尚未写入设备</source>
        <translation>Not yet written to the device</translation>
    </message>
</context>
<context>
    <name>app::ConfigurationWindow</name>
    <message>
        <source>串口未打开。</source>
        <translation>The port is not open.</translation>
    </message>
    <message>
        <source>设备配置</source>
        <translation>Device configuration</translation>
    </message>
    <message>
        <source>通讯设置</source>
        <translation>Communication</translation>
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
        <source>查找设备</source>
        <translation>Find devices</translation>
    </message>
    <message>
        <source>查找方式</source>
        <translation>Search</translation>
    </message>
    <message>
        <source>逐个波特率读地址</source>
        <translation>Read the address at each baud rate</translation>
    </message>
    <message>
        <source>按当前波特率扫描地址 1-247</source>
        <translation>Scan addresses 1-247 at this baud rate</translation>
    </message>
    <message>
        <source>使用</source>
        <translation>Use</translation>
    </message>
    <message>
        <source>找到的设备</source>
        <translation>Devices found</translation>
    </message>
    <message>
        <source>识别信息</source>
        <translation>Identification</translation>
    </message>
    <message>
        <source>响应时间</source>
        <translation>Response</translation>
    </message>
    <message>
        <source>参数</source>
        <translation>Parameters</translation>
    </message>
    <message>
        <source>读取参数</source>
        <translation>Read</translation>
    </message>
    <message>
        <source>保存参数…</source>
        <translation>Save…</translation>
    </message>
    <message>
        <source>载入参数…</source>
        <translation>Load…</translation>
    </message>
    <message>
        <source>写入设备</source>
        <translation>Write</translation>
    </message>
    <message>
        <source>保存报告…</source>
        <translation>Report…</translation>
    </message>
    <message>
        <source>参数表</source>
        <translation>Parameter table</translation>
    </message>
    <message>
        <source>写入</source>
        <translation>Write</translation>
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
        <source>设备中的值</source>
        <translation>In device</translation>
    </message>
    <message>
        <source>结果</source>
        <translation>Result</translation>
    </message>
    <message>
        <source>进度</source>
        <translation>Progress</translation>
    </message>
    <message>
        <source>状态</source>
        <translation>Status</translation>
    </message>
    <message>
        <source>取消</source>
        <translation>Cancel</translation>
    </message>
    <message>
        <source>关闭</source>
        <translation>Close</translation>
    </message>
    <message>
        <source>重新打开串口</source>
        <translation>Reopen port</translation>
    </message>
    <message>
        <source>正在与设备通讯…</source>
        <translation>Talking to the device…</translation>
    </message>
    <message>
        <source>串口已断开，此值不一定是设备的当前值</source>
        <translation>The port was lost; this value may not be the device&apos;s present value</translation>
    </message>
    <message>
        <source>串口已断开：%1。</source>
        <translation>The port was lost: %1.</translation>
    </message>
    <message>
        <source>可点击“重新打开串口”。</source>
        <translation>Click &quot;Reopen port&quot; to go on.</translation>
    </message>
    <message>
        <source>串口仍无法打开：%1</source>
        <translation>The port still cannot be opened: %1</translation>
    </message>
    <message>
        <source>串口已重新打开。</source>
        <translation>The port is open again.</translation>
    </message>
    <message>
        <source>%1 毫秒</source>
        <translation>%1 ms</translation>
    </message>
    <message>
        <source>已选用波特率 %1、设备地址 %2；关闭本窗口后主窗口改用此设置。</source>
        <translation>Chosen: %1 baud, address %2. The main window uses them once this window is closed.</translation>
    </message>
    <message>
        <source>载入参数</source>
        <translation>Load parameters</translation>
    </message>
    <message>
        <source>参数文件 (*.txt);;所有文件 (*)</source>
        <translation>Parameter files (*.txt);;All files (*)</translation>
    </message>
    <message>
        <source>此文件未载入，没有使用其中任何内容。
%1</source>
        <translation>The file was not loaded; nothing in it was used.
%1</translation>
    </message>
    <message>
        <source>保存参数</source>
        <translation>Save parameters</translation>
    </message>
    <message>
        <source>参数文件 (*.txt)</source>
        <translation>Parameter files (*.txt)</translation>
    </message>
    <message>
        <source>参数已保存到 %1</source>
        <translation>Parameters saved to %1</translation>
    </message>
    <message>
        <source>已勾选“设备地址”或“波特率”。写入后设备将改用新的地址或波特率，本工具随之改用新的设置并在新设置下校验。
确定要写入吗？</source>
        <translation>&quot;Address&quot; or &quot;Baud rate&quot; is ticked. After the write the device uses the new address or baud rate; the tool follows it and verifies with the new settings.
Write now?</translation>
    </message>
    <message>
        <source>RX904_报告_%1.pdf</source>
        <translation>RX904_report_%1.pdf</translation>
    </message>
    <message>
        <source>保存报告</source>
        <translation>Save report</translation>
    </message>
    <message>
        <source>PDF 文件 (*.pdf)</source>
        <translation>PDF files (*.pdf)</translation>
    </message>
    <message>
        <source>报告已保存到 %1（%2 台设备，每台一页）</source>
        <translation>Report saved to %1 (%2 devices, one page each)</translation>
    </message>
    <message>
        <source>不同</source>
        <translation>differs</translation>
    </message>
    <message>
        <source>完成</source>
        <translation>Done</translation>
    </message>
    <message>
        <source>写入完成：%1 项已写入并校验</source>
        <translation>Write finished: %1 values written and verified</translation>
    </message>
    <message>
        <source>参数</source>
        <comment>table column</comment>
        <translation>Parameter</translation>
    </message>
</context>
<context>
    <name>app::MonitorWindow</name>
    <message>
        <source>通讯监视</source>
        <translation>Traffic monitor</translation>
    </message>
    <message>
        <source>通讯记录和趋势</source>
        <translation>Record and trend</translation>
    </message>
    <message>
        <source>通讯记录</source>
        <translation>Record</translation>
    </message>
    <message>
        <source>趋势</source>
        <translation>Trend</translation>
    </message>
    <message>
        <source>数据记录到文件…</source>
        <translation>Log values…</translation>
    </message>
    <message>
        <source>数据记录状态</source>
        <translation>Value log state</translation>
    </message>
    <message>
        <source>数据记录已停止。
%1</source>
        <translation>The value log stopped.
%1</translation>
    </message>
    <message>
        <source>请求数</source>
        <translation>Requests</translation>
    </message>
    <message>
        <source>完整应答数</source>
        <translation>Complete answers</translation>
    </message>
    <message>
        <source>CRC 错误数</source>
        <translation>CRC errors</translation>
    </message>
    <message>
        <source>异常应答数</source>
        <translation>Exceptions</translation>
    </message>
    <message>
        <source>不完整应答数</source>
        <translation>Incomplete answers</translation>
    </message>
    <message>
        <source>无应答数</source>
        <translation>No answer</translation>
    </message>
    <message>
        <source>丢失比例</source>
        <translation>Lost share</translation>
    </message>
    <message>
        <source>响应时间</source>
        <translation>Response time</translation>
    </message>
    <message>
        <source>定时时长提示</source>
        <translation>Period warning</translation>
    </message>
    <message>
        <source>清零</source>
        <translation>Reset</translation>
    </message>
    <message>
        <source>应答超时</source>
        <translation>Answer timeout</translation>
    </message>
    <message>
        <source> 毫秒</source>
        <translation> ms</translation>
    </message>
    <message>
        <source>复制为文本</source>
        <translation>Copy as text</translation>
    </message>
    <message>
        <source>暂停显示</source>
        <translation>Pause view</translation>
    </message>
    <message>
        <source>继续显示</source>
        <translation>Resume view</translation>
    </message>
    <message>
        <source>清空</source>
        <translation>Clear</translation>
    </message>
    <message>
        <source>复制字节</source>
        <translation>Copy bytes</translation>
    </message>
    <message>
        <source>保存记录…</source>
        <translation>Save record…</translation>
    </message>
    <message>
        <source>显示的数据</source>
        <translation>Values shown</translation>
    </message>
    <message>
        <source>时间范围</source>
        <translation>Time span</translation>
    </message>
    <message>
        <source>1 分钟</source>
        <translation>1 minute</translation>
    </message>
    <message>
        <source>10 分钟</source>
        <translation>10 minutes</translation>
    </message>
    <message>
        <source>1 小时</source>
        <translation>1 hour</translation>
    </message>
    <message>
        <source>共用一个坐标轴</source>
        <translation>One shared axis</translation>
    </message>
    <message>
        <source>保存图片…</source>
        <translation>Save picture…</translation>
    </message>
    <message>
        <source>趋势图</source>
        <translation>Trend chart</translation>
    </message>
    <message>
        <source>请求 %1</source>
        <translation>Requests %1</translation>
    </message>
    <message>
        <source>完整应答 %1</source>
        <translation>Complete %1</translation>
    </message>
    <message>
        <source>CRC 错误 %1</source>
        <translation>CRC errors %1</translation>
    </message>
    <message>
        <source>异常应答 %1</source>
        <translation>Exceptions %1</translation>
    </message>
    <message>
        <source>不完整 %1</source>
        <translation>Incomplete %1</translation>
    </message>
    <message>
        <source>无应答 %1</source>
        <translation>No answer %1</translation>
    </message>
    <message>
        <source>丢失 %1%</source>
        <translation>Lost %1%</translation>
    </message>
    <message>
        <source>响应时间 最近 %1 平均 %2 最大 %3 毫秒</source>
        <translation>Response last %1 mean %2 max %3 ms</translation>
    </message>
    <message>
        <source>定时时长 %1 毫秒短于一次交换在 %2 波特下所需的 %3 毫秒</source>
        <translation>The period of %1 ms is shorter than the %3 ms one exchange takes at %2 baud</translation>
    </message>
    <message>
        <source>保存记录</source>
        <translation>Save record</translation>
    </message>
    <message>
        <source>通讯记录.csv</source>
        <translation>traffic.csv</translation>
    </message>
    <message>
        <source>CSV 文件 (*.csv)</source>
        <translation>CSV files (*.csv)</translation>
    </message>
    <message>
        <source>记录没有保存。
%1</source>
        <translation>The record was not saved.
%1</translation>
    </message>
    <message>
        <source>数据记录到文件</source>
        <translation>Log values to a file</translation>
    </message>
    <message>
        <source>数据记录.csv</source>
        <translation>values.csv</translation>
    </message>
    <message>
        <source>数据记录没有开始。
%1</source>
        <translation>The value log did not start.
%1</translation>
    </message>
    <message>
        <source>停止数据记录</source>
        <translation>Stop value log</translation>
    </message>
    <message>
        <source>正在记录到 %1</source>
        <translation>Logging to %1</translation>
    </message>
    <message>
        <source>未记录</source>
        <translation>Not logging</translation>
    </message>
    <message>
        <source>保存图片</source>
        <translation>Save picture</translation>
    </message>
    <message>
        <source>趋势.png</source>
        <translation>trend.png</translation>
    </message>
    <message>
        <source>PNG 图片 (*.png)</source>
        <translation>PNG pictures (*.png)</translation>
    </message>
    <message>
        <source>图片没有保存：无法写入文件“%1”。</source>
        <translation>The picture was not saved: the file &quot;%1&quot; cannot be written.</translation>
    </message>
</context>
<context>
    <name>app::TrafficModel</name>
    <message>
        <source>时间</source>
        <translation>Time</translation>
    </message>
    <message>
        <source>方向</source>
        <translation>Direction</translation>
    </message>
    <message>
        <source>长度</source>
        <translation>Length</translation>
    </message>
    <message>
        <source>含义</source>
        <translation>Meaning</translation>
    </message>
    <message>
        <source>响应时间 (毫秒)</source>
        <translation>Response (ms)</translation>
    </message>
    <message>
        <source>字节</source>
        <translation>Bytes</translation>
    </message>
</context>
<context>
    <name>app::TrafficMonitor</name>
    <message>
        <source>串口断开：%1</source>
        <translation>Port lost: %1</translation>
    </message>
    <message>
        <source>串口设置改为 %1</source>
        <translation>Port settings changed to %1</translation>
    </message>
</context>
<context>
    <name>app::TrendView</name>
    <message>
        <source>%1  当前 %2  最小 %3  最大 %4</source>
        <translation>%1  now %2  min %3  max %4</translation>
    </message>
    <message>
        <source>%1  暂无数据</source>
        <translation>%1  no data yet</translation>
    </message>
    <message>
        <source>%1 分钟前</source>
        <translation>%1 min ago</translation>
    </message>
    <message>
        <source>最新</source>
        <translation>now</translation>
    </message>
</context>
<context>
    <name>app::frmMain</name>
    <message>
        <source>通讯监视…</source>
        <translation>Traffic monitor…</translation>
    </message>
    <message>
        <source>设备配置…</source>
        <translation>Device configuration…</translation>
    </message>
    <message>
        <source>帮助…</source>
        <translation>Help…</translation>
    </message>
    <message>
        <source>串口交给设备配置窗口</source>
        <translation>Port handed to the device configuration window</translation>
    </message>
    <message>
        <source>设备配置窗口交回串口</source>
        <translation>Device configuration window handed the port back</translation>
    </message>
</context>
</TS>
