#include "commissioner.h"

#include "modbus/answer_decoder.h"
#include "modbus/register_map.h"
#include "translations/device_texts.h"
#include "values/messages.h"

#include <QCoreApplication>
#include <algorithm>

namespace commissioning {
namespace {

std::span<const std::uint8_t> bytesOf(const QByteArray &bytes)
{
    return {reinterpret_cast<const std::uint8_t *>(bytes.constData()),
            static_cast<std::size_t>(bytes.size())};
}

QString captionOf(int field)
{
    return i18n::caption(modbus::registerMap()[static_cast<std::size_t>(field)]);
}

} // namespace

QString rowStateText(const RowResult &row)
{
    switch (row.state) {
    case RowState::NotChosen:
        return {};
    case RowState::Left:
        return QCoreApplication::translate("Commissioner", "未写入");
    case RowState::Written:
        return QCoreApplication::translate("Commissioner", "已写入");
    case RowState::Verified:
        return QCoreApplication::translate("Commissioner", "已写入并校验");
    case RowState::Failed:
        return QCoreApplication::translate("Commissioner", "写入失败：%1").arg(row.reason);
    case RowState::Mismatch:
        return QCoreApplication::translate("Commissioner", "已写入，校验不符：%1").arg(row.reason);
    case RowState::Unverified:
        return QCoreApplication::translate("Commissioner", "已写入，未能校验：%1").arg(row.reason);
    }
    return {};
}

std::array<std::uint16_t, modbus::kValueFieldCount> queryRegisters(const QByteArray &answer)
{
    std::array<std::uint16_t, modbus::kValueFieldCount> raw{};
    for (int k = 0; k < modbus::kValueFieldCount; ++k) {
        const auto high = static_cast<std::uint8_t>(answer[3 + 2 * k]);
        const auto low = static_cast<std::uint8_t>(answer[4 + 2 * k]);
        raw[static_cast<std::size_t>(k)] = static_cast<std::uint16_t>(high << 8 | low);
    }
    return raw;
}

Commissioner::Commissioner(DeviceClient &client, QObject *parent)
    : QObject(parent), m_client(client)
{
}

void Commissioner::setLink(const Link &link)
{
    m_link = link;
    m_client.setBaud(link.baud);
}

void Commissioner::begin(int total)
{
    m_running = true;
    m_done = 0;
    m_total = total;
    emit progress(0, total);
}

void Commissioner::step()
{
    emit progress(++m_done, m_total);
}

void Commissioner::end(const QString &message)
{
    m_running = false;
    // A search leaves the line at the link's speed, whatever it tried last.
    if (m_client.baud() != m_link.baud)
        m_client.setBaud(m_link.baud);
    emit finished(message);
}

void Commissioner::cancel()
{
    if (!m_running)
        return;
    m_client.cancel();
    end(QCoreApplication::translate("Commissioner", "已取消"));
}

void Commissioner::identify(int baud, int station, std::chrono::nanoseconds responseTime,
                            std::function<void()> then)
{
    const auto address = static_cast<std::uint8_t>(station);
    m_client.send(modbus::deviceInfoRequest(address), address,
                  [this, baud, station, responseTime, then](const Reply &reply) {
                      QString text = QCoreApplication::translate("Commissioner", "（无识别信息）");
                      if (reply.ok()) {
                          if (const auto info = modbus::deviceInfoText(bytesOf(reply.answer)))
                              text = QString::fromStdString(*info).trimmed();
                      }
                      m_found.push_back({baud, station, text, responseTime});
                      emit deviceFound(m_found.back());
                      then();
                  });
}

void Commissioner::findBySpeed(const std::vector<int> &bauds)
{
    m_found.clear();
    m_bauds = bauds;
    begin(static_cast<int>(m_bauds.size()));
    nextSpeed(0);
}

void Commissioner::nextSpeed(std::size_t index)
{
    if (index == m_bauds.size()) {
        end(m_found.empty()
                ? QCoreApplication::translate("Commissioner", "在%1种波特率下都没有设备应答")
                      .arg(m_bauds.size() == modbus::kBaudRates.size()
                               ? QCoreApplication::translate("Commissioner", "五")
                               : QString::number(m_bauds.size()))
                : QString());
        return;
    }
    const int baud = m_bauds[index];
    m_client.setBaud(baud);
    const auto next = [this, index] {
        step();
        nextSpeed(index + 1);
    };
    m_client.send(modbus::readRequest(modbus::kAddressReadStation, 0, 1), std::nullopt,
                  [this, baud, next](const Reply &reply) {
                      // Every device answers the address read with its own address first.
                      if (!reply.ok()) {
                          next();
                          return;
                      }
                      identify(baud, static_cast<std::uint8_t>(reply.answer[0]), reply.responseTime,
                               next);
                  });
}

void Commissioner::scanStations(int first, int last)
{
    m_found.clear();
    begin(last - first + 1);
    nextStation(first, last);
}

void Commissioner::nextStation(int station, int last)
{
    if (station > last) {
        end(m_found.empty()
                ? QCoreApplication::translate("Commissioner", "在 %1 波特率下没有设备应答")
                      .arg(m_link.baud)
                : QString());
        return;
    }
    const auto next = [this, station, last] {
        step();
        nextStation(station + 1, last);
    };
    const auto address = static_cast<std::uint8_t>(station);
    m_client.send(modbus::readRequest(address, 0, 1), address,
                  [this, station, next](const Reply &reply) {
                      if (!reply.ok()) {
                          next();
                          return;
                      }
                      identify(m_link.baud, station, reply.responseTime, next);
                  });
}

void Commissioner::readParameters()
{
    begin(2);
    const auto station = static_cast<std::uint8_t>(m_link.station);
    m_client.send(modbus::deviceInfoRequest(station), station, [this, station](const Reply &info) {
        ParameterSet set;
        set.station = m_link.station;
        set.baud = m_link.baud;
        if (info.ok()) {
            if (const auto text = modbus::deviceInfoText(bytesOf(info.answer)))
                set.identification = QString::fromStdString(*text).trimmed();
        }
        step();
        m_client.send(modbus::readRequest(station, 0, modbus::kValueFieldCount), station,
                      [this, set](const Reply &reply) {
                          if (!reply.ok()) {
                              end(QCoreApplication::translate("Commissioner", "读取参数失败：%1")
                                      .arg(outcomeText(reply)));
                              return;
                          }
                          m_device = set;
                          takeRegisters(reply);
                          step();
                          end({});
                      });
    });
}

void Commissioner::takeRegisters(const Reply &reply)
{
    m_device.raw = queryRegisters(reply.answer);
}

void Commissioner::writeParameters(
    const std::array<std::uint16_t, modbus::kValueFieldCount> &values,
    const std::array<bool, modbus::kValueFieldCount> &chosen)
{
    m_order.clear();
    for (const modbus::RegisterRow &row : modbus::registerMap()) {
        const bool take = row.setButton >= 0 && chosen[static_cast<std::size_t>(row.field)];
        m_rows[static_cast<std::size_t>(row.field)] = {take ? RowState::Left : RowState::NotChosen,
                                                       {}};
        if (take && row.field != kStationField && row.field != kBaudField)
            m_order.push_back(row.field);
    }
    // The link changes with these two: the station first, then the speed at the new station.
    for (const int field : {kStationField, kBaudField}) {
        if (m_rows[static_cast<std::size_t>(field)].state == RowState::Left)
            m_order.push_back(field);
    }
    m_written = values;
    m_next = 0;
    begin(static_cast<int>(m_order.size()) + 1);
    nextWrite();
}

void Commissioner::nextWrite()
{
    if (m_next == m_order.size()) {
        verify({});
        return;
    }
    const int field = m_order[m_next];
    const modbus::RegisterRow &row = modbus::registerMap()[static_cast<std::size_t>(field)];
    const std::uint16_t value = m_written[static_cast<std::size_t>(field)];
    // The tool could not follow the device to an address outside the window's range.
    if (field == kStationField && (value < 1 || value > 250)) {
        const QString reason = i18n::message(values::text::kAddressZero);
        m_rows[static_cast<std::size_t>(field)] = {RowState::Failed, reason};
        verify(QCoreApplication::translate("Commissioner", "写入在“%1”处停止：%2")
                   .arg(captionOf(field), reason));
        return;
    }
    const auto station = static_cast<std::uint8_t>(m_link.station);
    m_client.send(modbus::writeRequest(station, row.writeRegister, value), station,
                  [this, field, value](const Reply &reply) {
                      RowResult &result = m_rows[static_cast<std::size_t>(field)];
                      if (!reply.ok()) {
                          result = {RowState::Failed, outcomeText(reply), reply.outcome};
                          verify(QCoreApplication::translate("Commissioner", "写入在“%1”处停止：%2")
                                     .arg(captionOf(field), outcomeText(reply)));
                          return;
                      }
                      result = {RowState::Written, {}};
                      // The echo came from the old link; the device is at the new one now.
                      if (field == kStationField)
                          m_link.station = value;
                      if (field == kBaudField) {
                          m_link.baud = value;
                          m_client.setBaud(value);
                      }
                      ++m_next;
                      step();
                      nextWrite();
                  });
}

void Commissioner::verify(const QString &stopped)
{
    const bool anyWritten = std::ranges::any_of(
        m_rows, [](const RowResult &row) { return row.state == RowState::Written; });
    if (!anyWritten) {
        end(stopped);
        return;
    }
    const auto station = static_cast<std::uint8_t>(m_link.station);
    m_client.send(
        modbus::readRequest(station, 0, modbus::kValueFieldCount), station,
        [this, stopped](const Reply &reply) {
            if (!reply.ok()) {
                for (RowResult &row : m_rows) {
                    if (row.state == RowState::Written)
                        row = {RowState::Unverified, outcomeText(reply), reply.outcome};
                }
                end(stopped.isEmpty()
                        ? QCoreApplication::translate("Commissioner", "写入后读回失败：%1")
                              .arg(outcomeText(reply))
                        : stopped);
                return;
            }
            takeRegisters(reply);
            m_device.station = m_link.station;
            m_device.baud = m_link.baud;
            bool allEqual = true;
            for (const modbus::RegisterRow &row : modbus::registerMap()) {
                RowResult &result = m_rows[static_cast<std::size_t>(row.field)];
                if (result.state != RowState::Written)
                    continue;
                const std::uint16_t read = m_device.raw[static_cast<std::size_t>(row.field)];
                if (read == m_written[static_cast<std::size_t>(row.field)]) {
                    result = {RowState::Verified, {}};
                } else {
                    allEqual = false;
                    result = {RowState::Mismatch,
                              QCoreApplication::translate("Commissioner", "设备中为 %1")
                                  .arg(QString::fromStdString(modbus::fieldText(row.field, read)))};
                }
            }
            step();
            end(!stopped.isEmpty() ? stopped
                : allEqual         ? QString()
                           : QCoreApplication::translate("Commissioner", "有参数读回与写入不符"));
        });
}

} // namespace commissioning
