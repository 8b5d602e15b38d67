<?xml version="1.0" encoding="utf-8"?>
<!DOCTYPE TS>
<TS version="2.1" language="en" sourcelanguage="zh_CN">
<context>
    <name>ctl::Assignments</name>
    <message>
        <source>%1 之一</source>
        <translation>one of %1</translation>
    </message>
    <message>
        <source>%1=%2：%3</source>
        <translation>%1=%2: %3</translation>
    </message>
    <message>
        <source>%1=%2：超出范围，应为 %3</source>
        <translation>%1=%2: outside its range, %3</translation>
    </message>
    <message>
        <source>write：没有给出 名称=值</source>
        <translation>write: no NAME=VALUE given</translation>
    </message>
    <message>
        <source>“%1”不是 名称=值 的形式</source>
        <translation>“%1” is not NAME=VALUE</translation>
    </message>
    <message>
        <source>没有参数“%1”（rx904ctl --list-parameters 列出所有参数）</source>
        <translation>There is no parameter “%1” (rx904ctl --list-parameters names them)</translation>
    </message>
    <message>
        <source>%1（%2）是测量值，不是参数</source>
        <translation>%1 (%2) is a measured value, not a parameter</translation>
    </message>
    <message>
        <source>%1 给出了两次</source>
        <translation>%1 is given twice</translation>
    </message>
</context>
<context>
    <name>ctl::CommandLine</name>
    <message>
        <source>用法：rx904ctl [选项]... 命令 [参数]...
经 Modbus RTU 读取、监视和设置 RX904 电压控制器。

选项：
  --port 设备            COMn（同 RX904_COMn 或 rx904-tool 的编号）、设备路径
                         或 tcp://主机:端口；可重复，每个串口各为一条总线
                         （默认 COM1）
  --ports-file 文件      串口列表，每行一个（# 开始注释）
  --baud N               2400、4800、9600（默认）、19200 或 38400
  --station N            设备的站号，1..247（默认 1）
  --timeout 毫秒         每次尝试的超时（默认按波特率）
  --retries N            首次之后没有可用应答时再试的次数（默认 1）
  --format 格式          text（默认）、json（每行一个对象）或 csv
  --language zh|en       信息的语言：中文或英文（默认按桌面的语言）
  --list-parameters      列出参数：名称、键名、寄存器、范围、单位
  -h, --help             显示本帮助
  -v, --version          显示版本

命令：
  read                   读取十五个值，带名称、单位和原始寄存器值
  watch [--period 毫秒] [--count N]
                         每轮询一次十五个值输出一行（默认每 1000 毫秒）
  write 名称=值...       按名称、键名或寄存器设置参数，每个都读回核对
  ident                  读取设备的识别文本
  address 新站号         把设备移到新站号（1..247）
  find [--bauds 列表] [--stations 首-末]
                         找出所有应答的设备：在每种波特率下读取地址，
                         或在每种波特率下逐个询问范围内的站号
  save 文件              把参数保存为 rx904-tool 的参数文件
  load 文件 [--dry-run] [--report 输出.json]
                         写入与文件不同的参数，每个都读回核对
  check 文件             比较设备与参数文件，不写入
  monitor [--period 毫秒] [--count N]
                         像 watch 一样轮询，并输出判定后的每一帧

退出状态：0 一切正常，1 无应答，2 用法错误，3 设备拒绝，4 读回与写入不同
（或与文件不同），5 串口无法打开，6 文件无法读取或无效。详见 rx904ctl(1)。
</source>
        <translation>Usage: rx904ctl [OPTION]... COMMAND [ARGUMENT]...
Reads, watches and sets RX904 voltage controllers over Modbus RTU.

Options:
  --port DEVICE          COMn (as RX904_COMn or the numbering of rx904-tool), a device
                         path or tcp://HOST:PORT; repeatable, each port a bus of its own
                         (default COM1)
  --ports-file FILE      ports, one per line (# starts a comment)
  --baud N               2400, 4800, 9600 (default), 19200 or 38400
  --station N            the device&apos;s station, 1..247 (default 1)
  --timeout MS           each try&apos;s time-out (default: by the line speed)
  --retries N            tries after the first without a usable answer (default 1)
  --format FORMAT        text (default), json (one object per line) or csv
  --language zh|en       the language of the messages: Chinese or English (default:
                         the desktop&apos;s language)
  --list-parameters      the parameters: names, keys, registers, ranges, units
  -h, --help             this text
  -v, --version          the version

Commands:
  read                   the fifteen values with names, units and raw registers
  watch [--period MS] [--count N]
                         one line per poll of the fifteen values (default every 1000 ms)
  write NAME=VALUE...    set parameters by caption, key or register, each read back
  ident                  the identification text
  address NEW            move the device to station NEW (1..247)
  find [--bauds LIST] [--stations FIRST-LAST]
                         every device that answers: the address read at each speed, or
                         each station of the range at each speed
  save FILE              the parameters to a parameter file of rx904-tool
  load FILE [--dry-run] [--report OUT.json]
                         write the parameters that differ from the file, each read back
  check FILE             compare the device with a parameter file, write nothing
  monitor [--period MS] [--count N]
                         poll as watch does, and print every frame judged

Exit status: 0 all well, 1 no answer, 2 bad usage, 3 the device refused, 4 read back
not as written (or differs from the file), 5 a port would not open, 6 a file unreadable
or invalid. See rx904ctl(1).
</translation>
    </message>
    <message>
        <source>%1 %2：设备只支持 2400、4800、9600、19200 或 38400</source>
        <translation>%1 %2: the device speaks only 2400, 4800, 9600, 19200 or 38400</translation>
    </message>
    <message>
        <source>未知选项 %1%2（rx904ctl --help 列出所有选项）</source>
        <translation>Unknown option %1%2 (rx904ctl --help lists them)</translation>
    </message>
    <message>
        <source>选项 --%1 给出了两次</source>
        <translation>The option --%1 is given twice</translation>
    </message>
    <message>
        <source>--format %1：应为 text、json 或 csv</source>
        <translation>--format %1: use text, json or csv</translation>
    </message>
    <message>
        <source>--language %1：应为 zh 或 en</source>
        <translation>--language %1: use zh or en</translation>
    </message>
    <message>
        <source>--list-parameters 不带命令</source>
        <translation>--list-parameters takes no command</translation>
    </message>
    <message>
        <source>没有给出命令（rx904ctl --help 列出所有命令）</source>
        <translation>No command given (rx904ctl --help lists them)</translation>
    </message>
    <message>
        <source>未知命令“%1”（rx904ctl --help 列出所有命令）</source>
        <translation>Unknown command “%1” (rx904ctl --help lists them)</translation>
    </message>
    <message>
        <source>%1 不带参数，却给出了“%2”</source>
        <translation>%1 takes no argument, but “%2” is given</translation>
    </message>
    <message>
        <source>%1 需要一个参数</source>
        <translation>%1 takes one argument</translation>
    </message>
    <message>
        <source>--%1 不是 %2 的选项</source>
        <translation>--%1 is not an option of %2</translation>
    </message>
    <message>
        <source>--stations %1：应为 首-末，例如 1-247</source>
        <translation>--stations %1: use FIRST-LAST, as in 1-247</translation>
    </message>
    <message>
        <source>--stations %1：末站号小于首站号</source>
        <translation>--stations %1: the last station comes before the first</translation>
    </message>
</context>
<context>
    <name>ctl::Main</name>
    <message>
        <source>串口 %1 不是 tcp://主机:端口 的形式</source>
        <translation>The port %1 is not tcp://HOST:PORT</translation>
    </message>
    <message>
        <source>串口 %1 给出了两次</source>
        <translation>The port %1 is given twice</translation>
    </message>
    <message>
        <source>save 只写一个文件：请只给出一个串口</source>
        <translation>save writes one file: give one port only</translation>
    </message>
    <message>
        <source>%1：无法打开：%2</source>
        <translation>%1: cannot open: %2</translation>
    </message>
    <message>
        <source>%1：无法写入：%2</source>
        <translation>%1: cannot be written: %2</translation>
    </message>
</context>
<context>
    <name>ctl::PortOpening</name>
    <message>
        <source>选项 --port</source>
        <translation>the option --port</translation>
    </message>
    <message>
        <source>%1：无法读取：%2</source>
        <translation>%1: cannot be read: %2</translation>
    </message>
    <message>
        <source>%1 第 %2 行：每行一个串口，“%3”不是一个串口</source>
        <translation>%1, line %2: one port per line; “%3” is not one port</translation>
    </message>
</context>
<context>
    <name>ctl::PortRun</name>
    <message>
        <source>%1：轮询 %2 次，%3 次有应答，%4 次没有可用应答，%5 次迟发，%6 次未发，丢弃 %7 字节</source>
        <translation>%1: %2 polls, %3 answered, %4 without a usable answer, %5 sent late, %6 not sent, %7 bytes discarded</translation>
    </message>
    <message>
        <source>%1：没有设备应答</source>
        <translation>%1: no device answered</translation>
    </message>
    <message>
        <source>不随参数文件写入或比较</source>
        <translation>not written or compared with a parameter file</translation>
    </message>
    <message>
        <source>与文件相同</source>
        <translation>same as the file</translation>
    </message>
    <message>
        <source>与文件不同</source>
        <translation>differs from the file</translation>
    </message>
    <message>
        <source>将写入</source>
        <translation>would be written</translation>
    </message>
</context>
<context>
    <name>ctl::Records</name>
    <message>
        <source>%1：%2</source>
        <translation>%1: %2</translation>
    </message>
    <message>
        <source>%1 站号 %2，波特率 %3</source>
        <translation>%1 station %2, %3 baud</translation>
    </message>
    <message>
        <source>  %1 %2 %3 寄存器 %4  原始值 %5  %6</source>
        <translation>  %1 %2 %3 register %4  raw %5  %6</translation>
    </message>
    <message>
        <source>%1 %2 站号 %3：</source>
        <translation>%1 %2 station %3:</translation>
    </message>
    <message>
        <source>无数值：%1</source>
        <translation>no value: %1</translation>
    </message>
    <message>
        <source>%1 站号 %2，波特率 %3：%4（%5 毫秒内应答）</source>
        <translation>%1 station %2, %3 baud: %4 (answered in %5 ms)</translation>
    </message>
    <message>
        <source>%1：%2 的参数已保存到 %3</source>
        <translation>%1: the parameters of %2 are saved to %3</translation>
    </message>
    <message>
        <source>%1：</source>
        <translation>%1:</translation>
    </message>
    <message>
        <source>  %1 %2 %3 设备 %4  %5  %6</source>
        <translation>  %1 %2 %3 device %4  %5  %6</translation>
    </message>
    <message>
        <source>只读</source>
        <translation>read only</translation>
    </message>
</context>
<context>
    <name>ctl::WholeNumber</name>
    <message>
        <source>数值太大</source>
        <translation>too large</translation>
    </message>
    <message>
        <source>不是整数</source>
        <translation>not a whole number</translation>
    </message>
    <message>
        <source>不是数字</source>
        <translation>not a number</translation>
    </message>
    <message>
        <source>%1 %2：%3</source>
        <translation>%1 %2: %3</translation>
    </message>
    <message>
        <source>%1 %2：超出 %3..%4</source>
        <translation>%1 %2: outside %3..%4</translation>
    </message>
</context>
</TS>
