#include "link/QtSerialPort.h"

#include "link/PortNames.h"

#include <QElapsedTimer>
#include <QSerialPort>
#include <QSerialPortInfo>
#include <QString>

#include <chrono>
#include <thread>

#if defined(Q_OS_UNIX)
#include <sys/ioctl.h>
#include <termios.h>
#endif

namespace zentrola {

namespace {

// One frame takes about 9 ms on the line; past this the wait gives up rather than hold the
// tick up behind a stuck adapter.
constexpr int kDrainWaitMs = 50;
constexpr std::chrono::milliseconds kDrainStep{1};

// Errors after which the device is gone or unusable. A pseudo-terminal whose other side
// closed stays readable at end of file forever; left open it would wake the event loop
// over and over. Closed, the link falls silent and the watchdog reopens it by name.
bool fatal(QSerialPort::SerialPortError error) {
    return error == QSerialPort::ResourceError || error == QSerialPort::ReadError ||
           error == QSerialPort::WriteError;
}

} // namespace

struct QtSerialPort::Impl {
    QSerialPort port;

    Impl() {
        QObject::connect(&port, &QSerialPort::errorOccurred, &port,
                         [this](QSerialPort::SerialPortError error) {
                             if (fatal(error) && port.isOpen())
                                 port.close();
                         });
    }

    // Bytes the driver still holds for sending; zero where the system cannot tell.
    qint64 driverOutputQueue() {
#if defined(Q_OS_UNIX) && defined(TIOCOUTQ)
        int pending = 0;
        if (port.isOpen() && ::ioctl(static_cast<int>(port.handle()), TIOCOUTQ, &pending) == 0)
            return pending;
#endif
        return 0;
    }
};

QtSerialPort::QtSerialPort() : impl_(std::make_unique<Impl>()) {}

QtSerialPort::~QtSerialPort() = default;

bool QtSerialPort::open(const std::string& device, std::string& error) {
    QSerialPort& port = impl_->port;
    close();
    port.setPortName(QString::fromStdString(device));
    port.setBaudRate(kBaudRate);
    port.setDataBits(QSerialPort::Data8);
    port.setParity(QSerialPort::NoParity);
    port.setStopBits(QSerialPort::OneStop);
    port.setFlowControl(QSerialPort::NoFlowControl);
    // Bounded like the driver input queue of the original link, so a peer that floods the
    // line cannot make the program grow; a tick drains everything queued, so it never
    // limits real traffic (a frame is 52 bytes, the line carries about 320 bytes a tick).
    port.setReadBufferSize(static_cast<qint64>(kDriverInputQueue));
    if (!port.open(QIODevice::ReadWrite)) {
        error = port.errorString().toStdString();
        if (error.empty())
            error = "Unknown error";
        port.clearError();
        return false;
    }
    port.clearError();
    return true;
}

void QtSerialPort::close() {
    if (impl_->port.isOpen())
        impl_->port.close();
    impl_->port.clearError();
}

bool QtSerialPort::isOpen() const {
    return impl_->port.isOpen();
}

std::size_t QtSerialPort::queued() {
    QSerialPort& port = impl_->port;
    if (!port.isOpen())
        return 0;
    port.clearError();
    const qint64 n = port.bytesAvailable();
    return n > 0 ? static_cast<std::size_t>(n) : 0;
}

std::size_t QtSerialPort::read(std::span<std::uint8_t> buffer) {
    QSerialPort& port = impl_->port;
    if (!port.isOpen() || buffer.empty())
        return 0;
    // Only what is already buffered: QSerialPort::read does not wait.
    const qint64 n =
        port.read(reinterpret_cast<char*>(buffer.data()), static_cast<qint64>(buffer.size()));
    return n > 0 ? static_cast<std::size_t>(n) : 0;
}

void QtSerialPort::write(std::span<const std::uint8_t> bytes) {
    QSerialPort& port = impl_->port;
    if (!port.isOpen() || bytes.empty())
        return;
    port.write(reinterpret_cast<const char*>(bytes.data()), static_cast<qint64>(bytes.size()));
    // Hand the frame to the driver now rather than at the next pass of the event loop, as
    // the link expects a written frame to be on its way; flush() itself does not block.
    if (port.isOpen())
        port.flush();
}

void QtSerialPort::waitTransmitted() {
    QSerialPort& port = impl_->port;
    if (!port.isOpen())
        return;
    QElapsedTimer elapsed;
    elapsed.start();
    if (port.bytesToWrite() > 0)
        port.waitForBytesWritten(kDrainWaitMs);
    // Then until the driver has put the last byte on the line, within the same limit.
    while (port.isOpen() && impl_->driverOutputQueue() > 0 && elapsed.elapsed() < kDrainWaitMs)
        std::this_thread::sleep_for(kDrainStep);
    port.clearError();
}

std::vector<std::string> QtSerialPort::devices() {
    std::vector<std::string> list;
    if (portsFromEnvironment(list))
        return list;
#if defined(Q_OS_WIN)
    return numberedComPorts();
#else
    const auto ports = QSerialPortInfo::availablePorts();
    for (const QSerialPortInfo& info : ports)
        list.push_back(info.systemLocation().toStdString());
    return orderPorts(std::move(list));
#endif
}

} // namespace zentrola
