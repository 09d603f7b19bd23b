#include "link/WinSerialPort.h"

#include "link/PortNames.h"

#include <windows.h>

#include <algorithm>
#include <utility>

namespace zentrola {

namespace {

constexpr DWORD kReadTotalConstantMs = 100;
constexpr DWORD kDriverOutputQueue = 1024;
constexpr char kLineSettings[] = "57600,N,8,1";
constexpr char kSerialCommKey[] = "HARDWARE\\DEVICEMAP\\SERIALCOMM";

// Where the system had no better word for a failed open.
constexpr char kNotASerialPort[] = "Not a serial port";

} // namespace

std::string systemErrorText(unsigned long code) {
    char* text = nullptr;
    const DWORD length = FormatMessageA(
        FORMAT_MESSAGE_ALLOCATE_BUFFER | FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS,
        nullptr, code, 0, reinterpret_cast<char*>(&text), 0, nullptr);
    std::string result;
    if (length > 0 && text != nullptr)
        result.assign(text, length);
    if (text != nullptr)
        LocalFree(text);
    while (!result.empty() && (result.back() == '\n' || result.back() == '\r' ||
                               result.back() == ' ' || result.back() == '.'))
        result.pop_back();
    if (result.empty())
        result = "Error " + std::to_string(code);
    return result;
}

struct WinSerialPort::Impl {
    HANDLE handle = INVALID_HANDLE_VALUE;
    COMMTIMEOUTS saved{};

    bool open() const { return handle != INVALID_HANDLE_VALUE; }

    // The device is gone: the handle is dropped without the close's purge and restore, which
    // would only fail on it.
    void lose() {
        CloseHandle(handle);
        handle = INVALID_HANDLE_VALUE;
    }

    // Clears line errors; the bytes waiting to be read, or nothing when the device is gone.
    bool status(COMSTAT& stat) {
        DWORD errors = 0;
        if (ClearCommError(handle, &errors, &stat))
            return true;
        lose();
        return false;
    }
};

WinSerialPort::WinSerialPort() : impl_(std::make_unique<Impl>()) {}

WinSerialPort::~WinSerialPort() {
    close();
}

bool WinSerialPort::open(const std::string& device, std::string& error) {
    close();
    const std::string path = windowsPortPath(device);
    HANDLE h = CreateFileA(path.c_str(), GENERIC_READ | GENERIC_WRITE, 0, nullptr, OPEN_EXISTING, 0,
                           nullptr);
    if (h == INVALID_HANDLE_VALUE) {
        error = systemErrorText(GetLastError());
        return false;
    }
    Impl& p = *impl_;
    p.handle = h;
    GetCommTimeouts(h, &p.saved);
    COMMTIMEOUTS working{};
    working.ReadIntervalTimeout = 0;
    working.ReadTotalTimeoutMultiplier = 0;
    working.ReadTotalTimeoutConstant = kReadTotalConstantMs;
    working.WriteTotalTimeoutMultiplier = 0;
    working.WriteTotalTimeoutConstant = 0; // no write time-out
    SetCommTimeouts(h, &working);

    // A file or another device that is no serial port opens as well; it is refused here
    // rather than left open and silent.
    DCB dcb{};
    dcb.DCBlength = sizeof(DCB);
    if (!GetCommState(h, &dcb) || !BuildCommDCBA(kLineSettings, &dcb) || !SetCommState(h, &dcb)) {
        const DWORD code = GetLastError();
        error = code != 0 ? systemErrorText(code) : std::string(kNotASerialPort);
        close();
        return false;
    }
    SetupComm(h, static_cast<DWORD>(kDriverInputQueue), kDriverOutputQueue);
    SetCommMask(h, EV_TXEMPTY);
    return true;
}

void WinSerialPort::close() {
    Impl& p = *impl_;
    if (!p.open())
        return;
    PurgeComm(p.handle, PURGE_RXABORT);
    SetCommTimeouts(p.handle, &p.saved);
    CloseHandle(p.handle);
    p.handle = INVALID_HANDLE_VALUE;
}

bool WinSerialPort::isOpen() const {
    return impl_->open();
}

std::size_t WinSerialPort::queued() {
    COMSTAT stat{};
    if (!impl_->open() || !impl_->status(stat))
        return 0;
    return stat.cbInQue;
}

std::size_t WinSerialPort::read(std::span<std::uint8_t> buffer) {
    Impl& p = *impl_;
    COMSTAT stat{};
    if (!p.open() || buffer.empty() || !p.status(stat) || stat.cbInQue == 0)
        return 0;
    // Only what the driver already holds, so ReadFile returns at once.
    const DWORD wanted = static_cast<DWORD>(std::min<std::size_t>(buffer.size(), stat.cbInQue));
    DWORD got = 0;
    if (!ReadFile(p.handle, buffer.data(), wanted, &got, nullptr)) {
        p.lose();
        return 0;
    }
    return got;
}

void WinSerialPort::write(std::span<const std::uint8_t> bytes) {
    Impl& p = *impl_;
    if (!p.open() || bytes.empty())
        return;
    // The count written is not looked at: some drivers report 0 for a frame they did send,
    // and a lost frame is caught by the transfer's time-out.
    DWORD written = 0;
    WriteFile(p.handle, bytes.data(), static_cast<DWORD>(bytes.size()), &written, nullptr);
}

void WinSerialPort::waitTransmitted() {
    Impl& p = *impl_;
    if (!p.open())
        return;
    // The mask holds only EV_TXEMPTY; the driver remembers an event that came before the
    // wait, so a frame already sent does not leave this waiting.
    DWORD events = 0;
    WaitCommEvent(p.handle, &events, nullptr);
}

std::vector<std::string> WinSerialPort::devices() {
    std::vector<std::string> list;
    if (portsFromEnvironment(list))
        return list;
    return numberedComPorts();
}

std::vector<std::string> WinSerialPort::deviceNames() {
    std::vector<std::pair<std::string, std::string>> map;
    HKEY key = nullptr;
    if (RegOpenKeyExA(HKEY_LOCAL_MACHINE, kSerialCommKey, 0, KEY_READ, &key) != ERROR_SUCCESS)
        return {};
    for (DWORD i = 0;; ++i) {
        char name[256];
        BYTE data[256];
        DWORD nameLength = sizeof name;
        DWORD dataLength = sizeof data - 1;
        DWORD type = 0;
        const LONG r = RegEnumValueA(key, i, name, &nameLength, nullptr, &type, data, &dataLength);
        if (r == ERROR_NO_MORE_ITEMS)
            break;
        if (r != ERROR_SUCCESS || type != REG_SZ)
            continue;
        data[dataLength] = 0;
        map.emplace_back(std::string(name, nameLength), reinterpret_cast<const char*>(data));
    }
    RegCloseKey(key);
    return serialCommNames(map);
}

} // namespace zentrola
