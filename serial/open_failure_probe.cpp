#include "open_failure_probe.h"

#include "tcp_device.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <algorithm>
#include <initializer_list>
#include <optional>
#include <vector>

#ifdef Q_OS_UNIX
#include <cerrno>
#include <dirent.h>
#include <grp.h>
#include <pwd.h>
#include <sys/stat.h>
#include <unistd.h>
#endif

namespace serial {

namespace {

QList<ComMapping> reachableNow(const PortMap &map, Platform platform,
                               const QList<DeviceInfo> &present)
{
    QList<ComMapping> reachable;
    for (int port = kFirstPort; port <= kLastPort; ++port) {
        const QString override = map.device(port);
        if (!override.isEmpty()) {
            // A path can be looked at; a Windows name cannot, and is left out. A device server
            // is listed as named: only connecting tells whether it answers.
            if (isTcpDevice(override) ||
                (platform != Platform::Windows && QFileInfo::exists(override)))
                reachable.append({port, override});
            continue;
        }
        const std::optional<DeviceInfo> device = resolvePort(port, QString(), platform, present);
        if (!device)
            continue;
        const bool listed =
            std::any_of(present.cbegin(), present.cend(), [&device](const DeviceInfo &one) {
                return one.systemLocation == device->systemLocation;
            });
        if (listed)
            reachable.append({port, device->systemLocation});
    }
    return reachable;
}

#ifdef Q_OS_UNIX

QString programOf(qint64 pid)
{
    QFile comm(QStringLiteral("/proc/%1/comm").arg(pid));
    if (!comm.open(QIODevice::ReadOnly))
        return QString();
    return QString::fromLocal8Bit(comm.readAll()).trimmed();
}

// QSerialPort and the UUCP convention name the lock after the device below /dev, with '/'
// as '_': /dev/ttyUSB0 -> LCK..ttyUSB0, /dev/pts/3 -> LCK..pts_3. The pid is written as
// text on the first line.
QList<DeviceHolder> lockFileHolders(const QString &path)
{
    QString name = path;
    if (name.startsWith(QLatin1String("/dev/")))
        name = name.mid(5);
    name.replace(QLatin1Char('/'), QLatin1Char('_'));
    QList<DeviceHolder> holders;
    QStringList seen;
    for (const char *dir : {"/var/lock", "/run/lock", "/tmp", "/var/tmp"}) {
        const QString lockPath = QString::fromLatin1(dir) + QStringLiteral("/LCK..") + name;
        const QString canonical = QFileInfo(lockPath).canonicalFilePath();
        if (canonical.isEmpty() || seen.contains(canonical))
            continue;
        seen << canonical;
        QFile lock(lockPath);
        if (!lock.open(QIODevice::ReadOnly))
            continue;
        bool ok = false;
        const qint64 pid = QString::fromLatin1(lock.readLine(64)).trimmed().toLongLong(&ok);
        if (!ok || pid <= 0)
            continue;
        const QString program = programOf(pid);
        // A lock whose process has ended is stale and stops nobody.
        if (!program.isEmpty())
            holders.append({program, pid, lockPath});
    }
    return holders;
}

QList<DeviceHolder> openFileHolders(const QString &path)
{
    QList<DeviceHolder> holders;
    DIR *proc = ::opendir("/proc");
    if (!proc)
        return holders;
    const QByteArray target = QFile::encodeName(path);
    while (const dirent *entry = ::readdir(proc)) {
        bool ok = false;
        const qint64 pid = QByteArray(entry->d_name).toLongLong(&ok);
        if (!ok)
            continue;
        const QByteArray fdDir = "/proc/" + QByteArray::number(pid) + "/fd";
        // Other users' processes are closed to us unless we are root.
        DIR *fds = ::opendir(fdDir.constData());
        if (!fds)
            continue;
        bool holds = false;
        while (const dirent *fd = ::readdir(fds)) {
            if (fd->d_name[0] == '.')
                continue;
            char link[4096];
            const QByteArray linkPath = fdDir + '/' + fd->d_name;
            const ssize_t size = ::readlink(linkPath.constData(), link, sizeof link);
            if (size > 0 && QByteArray(link, size) == target) {
                holds = true;
                break;
            }
        }
        ::closedir(fds);
        if (holds)
            holders.append({programOf(pid), pid, QString()});
    }
    ::closedir(proc);
    return holders;
}

void fillFileFacts(OpenFailureFacts &facts)
{
    const QByteArray path = QFile::encodeName(facts.attempt.path);
    struct stat info = {};
    if (path.isEmpty())
        return;
    if (::stat(path.constData(), &info) != 0) {
        // Not missing but out of reach: a directory on the way that this user cannot enter.
        if (errno == EACCES) {
            QString directory = QFileInfo(facts.attempt.path).absolutePath();
            QString closed;
            while (directory.size() > 1) {
                if (::access(QFile::encodeName(directory).constData(), X_OK) != 0)
                    closed = directory;
                directory = QFileInfo(directory).absolutePath();
            }
            facts.closedDirectory = closed;
        }
        return;
    }
    facts.exists = true;
    facts.mode = info.st_mode & 0777;
    facts.canReadWrite = ::access(path.constData(), R_OK | W_OK) == 0;
    if (const passwd *owner = ::getpwuid(info.st_uid))
        facts.owner = QString::fromLocal8Bit(owner->pw_name);
    else
        facts.owner = QString::number(info.st_uid);

    const gid_t gid = info.st_gid;
    facts.inGroupNow = ::getegid() == gid;
    const int count = ::getgroups(0, nullptr);
    if (count > 0) {
        std::vector<gid_t> groups(static_cast<std::size_t>(count));
        const int got = ::getgroups(count, groups.data());
        if (got > 0 && std::find(groups.begin(), groups.begin() + got, gid) != groups.begin() + got)
            facts.inGroupNow = true;
    }
    const passwd *user = ::getpwuid(::getuid());
    const group *entry = ::getgrgid(gid);
    facts.group = entry ? QString::fromLocal8Bit(entry->gr_name) : QString::number(gid);
    if (user && user->pw_gid == gid)
        facts.listedInGroup = true;
    if (user && entry) {
        for (char **member = entry->gr_mem; *member; ++member) {
            if (qstrcmp(*member, user->pw_name) == 0)
                facts.listedInGroup = true;
        }
    }
}

bool anyExists(std::initializer_list<const char *> paths)
{
    return std::any_of(paths.begin(), paths.end(), [](const char *path) {
        return QFileInfo::exists(QString::fromLatin1(path));
    });
}

// A braille service takes an adapter within about a second of its appearing, so a
// ttyUSB/ttyACM seen when the port list opened and gone at the failed open is the best a
// program without kernel log access (Debian restricts dmesg to root) can tell of "vanished
// right after it appeared". The other sign is in sysfs: an interface bound to usbfs is held
// by a program in user space, as brltty holds an adapter.
void fillBrailleFacts(OpenFailureFacts &facts, const QList<DeviceInfo> &listedBefore)
{
    for (const DeviceInfo &device : listedBefore) {
        if (isUsbAdapter(device, hostPlatform()) && !QFileInfo::exists(device.systemLocation))
            facts.vanishedUsb << device.systemLocation;
    }
    const QDir usbfs(QStringLiteral("/sys/bus/usb/drivers/usbfs"));
    const QStringList bound =
        usbfs.entryList(QDir::AllEntries | QDir::System | QDir::NoDotAndDotDot);
    // Interfaces are named bus-port:config.interface ("1-2:1.0").
    facts.usbInterfacesClaimed =
        static_cast<int>(std::count_if(bound.cbegin(), bound.cend(), [](const QString &name) {
            return name.contains(QLatin1Char(':'));
        }));
    facts.brlttyInstalled =
        anyExists({"/bin/brltty", "/usr/bin/brltty", "/sbin/brltty", "/usr/sbin/brltty"});
    for (const char *dir : {"/lib/udev/rules.d", "/usr/lib/udev/rules.d", "/etc/udev/rules.d"}) {
        if (!QDir(QString::fromLatin1(dir))
                 .entryList({QStringLiteral("*brltty*")}, QDir::Files)
                 .isEmpty())
            facts.brlttyUdevRules = true;
    }
}

#endif

} // namespace

QList<DeviceHolder> deviceHolders(const QString &path)
{
#ifdef Q_OS_UNIX
    QList<DeviceHolder> holders = lockFileHolders(path);
    for (const DeviceHolder &holder : openFileHolders(path)) {
        const bool known =
            std::any_of(holders.cbegin(), holders.cend(),
                        [&holder](const DeviceHolder &other) { return other.pid == holder.pid; });
        if (!known)
            holders.append(holder);
    }
    return holders;
#else
    Q_UNUSED(path);
    return {};
#endif
}

OpenFailureFacts gatherOpenFailureFacts(int port, const OpenAttempt &attempt, const PortMap &map,
                                        const QList<DeviceInfo> &listedBefore)
{
    OpenFailureFacts facts;
    facts.port = port;
    facts.attempt = attempt;
    facts.mappedBy = map.originText(port);
    // A device server has no device file, holder or USB adapter to look at.
    if (isTcpFailure(attempt.failure))
        return facts;
    const Platform platform = hostPlatform();
    const QList<DeviceInfo> present = presentDevices();
    facts.devicesPresent = static_cast<int>(numberedDevices(present, platform).size());
    facts.reachable = reachableNow(map, platform, present);
#ifdef Q_OS_UNIX
    fillFileFacts(facts);
    if (facts.exists)
        facts.holders = deviceHolders(QFileInfo(attempt.path).canonicalFilePath());
    fillBrailleFacts(facts, listedBefore);
#else
    Q_UNUSED(listedBefore);
    // Windows tells only by the error; no group or holder is known.
    facts.windows = true;
    facts.exists = attempt.failure != OpenFailure::NotFound && !attempt.path.isEmpty();
    facts.canReadWrite = true;
#endif
    return facts;
}

} // namespace serial
