#include "serial/open_failure.h"

#include <gtest/gtest.h>

#include <functional>

namespace {

using serial::OpenFailure;
using serial::OpenFailureFacts;

struct CauseCase
{
    const char *name;
    std::function<void(OpenFailureFacts &)> facts;
    std::vector<const char *> present; // each must appear in the cause
    std::vector<const char *> absent;  // none may
};

// A device that is there and may be opened; each row changes what its case is about.
OpenFailureFacts usbAdapter()
{
    OpenFailureFacts facts;
    facts.port = 1;
    facts.attempt = {OpenFailure::Permission, QStringLiteral("/dev/ttyUSB0"), QString()};
    facts.devicesPresent = 2;
    facts.reachable = {{1, QStringLiteral("/dev/ttyUSB0")}, {2, QStringLiteral("/dev/ttyS0")}};
    facts.exists = true;
    facts.owner = QStringLiteral("root");
    facts.group = QStringLiteral("dialout");
    facts.mode = 0660;
    facts.canReadWrite = true;
    return facts;
}

class SerialOpenFailureCause : public ::testing::TestWithParam<CauseCase>
{
};

TEST_P(SerialOpenFailureCause, NamesTheFactsThatMatter)
{
    OpenFailureFacts facts = usbAdapter();
    GetParam().facts(facts);
    const QString cause = serial::openFailureCause(facts);
    for (const char *text : GetParam().present)
        EXPECT_TRUE(cause.contains(QString::fromUtf8(text))) << text << "\n" << cause.toStdString();
    for (const char *text : GetParam().absent)
        EXPECT_FALSE(cause.contains(QString::fromUtf8(text))) << text << "\n"
                                                              << cause.toStdString();
}

INSTANTIATE_TEST_SUITE_P(
    Cases, SerialOpenFailureCause,
    ::testing::Values(
        CauseCase{"NoDeviceBehindTheNumber",
                  [](OpenFailureFacts &f) {
                      f.port = 3;
                      f.attempt = {OpenFailure::NoDevice, QString(), QString()};
                      f.exists = false;
                  },
                  {"COM3 当前没有对应的串口设备", "本机当前有 2 个串口设备", "COM1 → /dev/ttyUSB0",
                   "COM2 → /dev/ttyS0"},
                  {"brltty"}},
        CauseCase{"NoDeviceAtAll",
                  [](OpenFailureFacts &f) {
                      f.attempt = {OpenFailure::NoDevice, QString(), QString()};
                      f.exists = false;
                      f.devicesPresent = 0;
                      f.reachable.clear();
                  },
                  {"COM1 当前没有对应的串口设备", "本机当前没有串口设备"},
                  {}},
        CauseCase{"VariableNamesAMissingDevice",
                  [](OpenFailureFacts &f) {
                      f.port = 4;
                      f.mappedBy = QStringLiteral("环境变量 RX904_COM4");
                      f.attempt = {OpenFailure::NotFound, QStringLiteral("/dev/ttyUSB9"),
                                   QStringLiteral("No such file or directory")};
                      f.exists = false;
                  },
                  {"环境变量 RX904_COM4 指定的设备 /dev/ttyUSB9 不存在", "2 个串口设备"},
                  {}},
        CauseCase{"BehindADirectoryTheUserCannotEnter",
                  [](OpenFailureFacts &f) {
                      f.attempt = {OpenFailure::Permission, QStringLiteral("/srv/lab/tty1"),
                                   QStringLiteral("Permission denied")};
                      f.exists = false;
                      f.closedDirectory = QStringLiteral("/srv/lab");
                  },
                  {"没有权限访问 /srv/lab/tty1", "不能进入目录 /srv/lab"},
                  {"不存在"}},
        CauseCase{
            "NotInTheGroup",
            [](OpenFailureFacts &f) { f.canReadWrite = false; },
            {"/dev/ttyUSB0", "dialout 组", "sudo usermod -aG dialout $USER", "注销并重新登录"},
            {}},
        CauseCase{"InTheGroupSinceTheLastLogin",
                  [](OpenFailureFacts &f) {
                      f.canReadWrite = false;
                      f.listedInGroup = true;
                  },
                  {"/dev/ttyUSB0", "已加入", "dialout", "注销并重新登录"},
                  {"usermod"}},
        CauseCase{"NoGroupMayUseIt",
                  [](OpenFailureFacts &f) {
                      f.canReadWrite = false;
                      f.mode = 0600;
                      f.group = QStringLiteral("root");
                  },
                  {"/dev/ttyUSB0", "0600", "属主 root", "组 root"},
                  {"usermod"}},
        CauseCase{"HeldWithALockFile",
                  [](OpenFailureFacts &f) {
                      f.holders = {{QStringLiteral("minicom"), 4321,
                                    QStringLiteral("/run/lock/LCK..ttyUSB0")}};
                  },
                  {"/dev/ttyUSB0", "minicom", "4321", "/run/lock/LCK..ttyUSB0"},
                  {"usermod"}},
        CauseCase{"HeldByTwoPrograms",
                  [](OpenFailureFacts &f) {
                      f.attempt.failure = OpenFailure::Locked;
                      f.holders = {{QStringLiteral("picocom"), 77, QString()},
                                   {QStringLiteral("python3"), 88, QString()}};
                  },
                  {"picocom（进程号 77）", "python3（进程号 88）"},
                  {"锁文件"}},
        CauseCase{"ExclusiveHolderNotVisible",
                  [](OpenFailureFacts &f) { f.attempt.failure = OpenFailure::Locked; },
                  {"/dev/ttyUSB0", "独占"},
                  {}},
        CauseCase{"AdapterVanishedWithBrltty",
                  [](OpenFailureFacts &f) {
                      f.attempt = {OpenFailure::NoDevice, QString(), QString()};
                      f.exists = false;
                      f.vanishedUsb = {QStringLiteral("/dev/ttyUSB1")};
                      f.brlttyInstalled = true;
                  },
                  {"/dev/ttyUSB1", "brltty", "sudo apt remove brltty",
                   "sudo systemctl disable --now brltty.service", "本机当前有 2 个串口设备"},
                  {"brltty-udev"}},
        CauseCase{
            "AdapterClaimedWithBrlttyFromUdev",
            [](OpenFailureFacts &f) {
                f.attempt = {OpenFailure::NoDevice, QString(), QString()};
                f.exists = false;
                f.usbInterfacesClaimed = 1;
                f.brlttyInstalled = true;
                f.brlttyUdevRules = true;
            },
            {"1 个 USB 接口", "sudo apt remove brltty", "sudo systemctl mask brltty-udev.service"},
            {}},
        CauseCase{"AdapterVanishedWithoutBrltty",
                  [](OpenFailureFacts &f) {
                      f.attempt = {OpenFailure::NoDevice, QString(), QString()};
                      f.exists = false;
                      f.vanishedUsb = {QStringLiteral("/dev/ttyUSB1")};
                  },
                  {"COM1 当前没有对应的串口设备"},
                  {"brltty"}},
        CauseCase{"WhatTheSystemSaid",
                  [](OpenFailureFacts &f) {
                      f.attempt = {OpenFailure::Other, QStringLiteral("/dev/ttyS0"),
                                   QStringLiteral("Input/output error")};
                  },
                  {"/dev/ttyS0", "Input/output error"},
                  {"usermod", "brltty"}},
        // A device server: no device file, group or holder is looked at.
        CauseCase{"DeviceServerRefused",
                  [](OpenFailureFacts &f) {
                      f.attempt = {OpenFailure::TcpRefused,
                                   QStringLiteral("tcp://192.168.1.200:4001"),
                                   QStringLiteral("Connection refused")};
                      f.exists = false;
                  },
                  {"串口服务器 192.168.1.200:4001 拒绝了连接", "端口号", "只接受一个连接"},
                  {"串口设备", "usermod"}},
        CauseCase{"DeviceServerSilent",
                  [](OpenFailureFacts &f) {
                      f.attempt = {OpenFailure::TcpTimedOut, QStringLiteral("tcp://[fd00::7]:502"),
                                   QString()};
                  },
                  {"连接串口服务器 [fd00::7]:502 超时", "2 秒内没有应答", "网线"},
                  {}},
        CauseCase{"DeviceServerNameUnknown",
                  [](OpenFailureFacts &f) {
                      f.attempt = {OpenFailure::TcpHostNotFound,
                                   QStringLiteral("tcp://rs485-gw.example:4001"), QString()};
                  },
                  {"找不到串口服务器的主机名 rs485-gw.example"},
                  {}},
        CauseCase{"DeviceServerAddressMalformed",
                  [](OpenFailureFacts &f) {
                      f.attempt = {OpenFailure::TcpBadAddress,
                                   QStringLiteral("tcp://192.168.1.200"), QString()};
                  },
                  {"“tcp://192.168.1.200”不是有效的串口服务器地址", "tcp://主机:端口"},
                  {}},
        // Windows names no group, owner or holder: the error is all there is.
        CauseCase{"WindowsNoSuchPort",
                  [](OpenFailureFacts &f) {
                      f.windows = true;
                      f.port = 5;
                      f.attempt = {OpenFailure::NotFound, QStringLiteral("\\\\.\\COM5"),
                                   QStringLiteral("系统找不到指定的文件。")};
                      f.reachable = {{1, QStringLiteral("\\\\.\\COM1")},
                                     {3, QStringLiteral("\\\\.\\COM3")}};
                  },
                  {"本机没有串口 COM5", "本机当前的串口：COM1、COM3", "设备管理器"},
                  {"\\\\.\\", "usermod", "/dev"}},
        CauseCase{"WindowsPortHeldElsewhere",
                  [](OpenFailureFacts &f) {
                      f.windows = true;
                      f.port = 3;
                      f.attempt = {OpenFailure::Locked, QStringLiteral("\\\\.\\COM3"),
                                   QStringLiteral("拒绝访问。")};
                  },
                  {"COM3 拒绝访问", "另一个程序", "关闭该程序"},
                  {"usermod", "设备管理器"}},
        CauseCase{
            "WindowsDriverRefused",
            [](OpenFailureFacts &f) {
                f.windows = true;
                f.attempt = {OpenFailure::Other, QStringLiteral("\\\\.\\COM1"),
                             QStringLiteral("连到系统上的设备没有发挥作用。")};
            },
            {"打开 COM1 失败，串口驱动报告：连到系统上的设备没有发挥作用。请拔下", "设备管理器"},
            {"。。", "拒绝访问"}}),
    [](const ::testing::TestParamInfo<CauseCase> &info) { return info.param.name; });

} // namespace
