#!/usr/bin/env bash
# Takes a picture of "设备配置" under Xvfb after a clone: a parameter file saved from one
# device is loaded and written to rx904-sim as COM1, the way a technician would.
#   scripts/screenshot-configure.sh [BUILD_DIR] [OUTPUT.png]
set -euo pipefail
cd "$(dirname "$0")/.."
build="${1:-build}"
output="${2:-docs/configure.png}"

work="$(mktemp -d /tmp/rx904-configure-XXXXXX)"
link="$work/com1"
source scripts/simulated-device.sh
start_simulated_device "$build" "$link"
trap 'kill $sim 2>/dev/null || true; rm -rf "$work"' EXIT

# The file as "保存参数…" writes it, from a device set up at another site.
cat >"$work/source.txt" <<'FILE'
RX904 参数文件 版本 1
# 本文件由 RX904 工具的“设备配置”保存；参数行：名称 | 寄存器 | 显示值 | 原始值
识别 = RX904-V1.00
站号 = 3
波特率 = 9600
日期 = 2026-12-07 18:40:12
工具版本 = 1.0
参数 = 测量值 | 0 | 23.5 | 235
参数 = 原始电压值 | 1 | 21150 | 21150
参数 = 报警状态 | 2 | 0 | 0
参数 = 报警高值 | 3 | 700 | 700
参数 = 报警低值 | 4 | 12 | 12
参数 = 控制回差 | 5 | 3 | 3
参数 = 校 正 值 | 6 | -5 | 65531
参数 = 控制模式 | 7 | 2 | 2
参数 = 波特率 | 8 | 9600 | 9600
参数 = 设备地址 | 9 | 3 | 3
参数 = 电压高值 | 10 | 40000 | 40000
参数 = 电压低值 | 11 | 500 | 500
参数 = 显示高值 | 12 | 1000 | 1000
参数 = 显示低值 | 13 | 0 | 0
参数 = 输入电压 | 14 | 5 | 5
FILE

# With no window manager the window's client area starts near the screen's top-left corner;
# these are screen coordinates of the buttons' centres.
load="230 311"
write="321 311"

RX904_COM1="$link" xvfb-run -a -s "-screen 0 700x800x24" bash -c "
    '$build/app/rx904-tool' --language zh --configure &
    tool=\$!
    sleep 2
    xdotool mousemove $load click 1
    sleep 1
    xdotool type --delay 20 '$work/source.txt'
    xdotool key Return
    sleep 1
    xdotool mousemove $write click 1
    sleep 1
    import -window \"\$(xdotool search --name '设备配置' | head -1)\" '$output'
    kill \$tool
"
echo "Saved $output"
