#include "sim/VirtualUnit.h"

#include "core/BikeTypes.h"

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string_view>

namespace zentrola {

namespace {

// Input functions; function 1 is the kill switch on input 1 and the blocking on input 2.
namespace InputFunction {
constexpr int Stop = 1;
constexpr int Clutch = 2;
constexpr int CurveB = 3;
constexpr int StartLimiter = 4;
} // namespace InputFunction

constexpr int kTickMs = 55;
constexpr int kClutchTimeMs = 5;    // unit of the clutch master time
constexpr int kClutchPauseMs = 100; // unit of the clutch master pause
constexpr int kRpmUnit = 100;       // speeds are stored in hundreds of rpm
constexpr int kAdvanceBias = 100;
constexpr int kMaxReportedAdvance = 255 - kAdvanceBias;

constexpr std::uint8_t kDefaultTestSpeed = 250; // 25000 rpm

// The phases of one engine cycle after cranking, in ticks from the cycle start.
constexpr int kIdleEnd = 100;
constexpr int kRevUpEnd = 200;
constexpr int kLimiterEnd = 220;
constexpr int kRevDownEnd = 280;
static_assert(kRevDownEnd < VirtualUnit::kCycleTicks);

constexpr int kSupplyMillivolts = 13800;
constexpr int kSupplyNoise = 40; // +- millivolts

// How the firmware identifies itself.
constexpr std::string_view kFirmwareName = "ZEN";
constexpr std::uint8_t kFirmwareNumber = 13;
constexpr std::uint8_t kBuildDay = 8;
constexpr std::uint8_t kBuildYear = 26;
constexpr std::uint8_t kBuildHour = 12;
constexpr std::uint8_t kBuildMinute = 0;

// The month is sent as the low byte of the sum of the letters of its English short name.
constexpr std::uint8_t monthCode(std::string_view month) {
    unsigned sum = 0;
    for (char c : month)
        sum += static_cast<unsigned char>(c);
    return static_cast<std::uint8_t>(sum & 0xFF);
}
constexpr std::uint8_t kBuildMonth = monthCode("Dec");

bool knownLead(std::uint8_t lead) {
    if (lead == Lead::MonitorRequest)
        return true;
    if ((lead & ~(Lead::ReadFlag | Lead::PageMask)) != 0)
        return false;
    return (lead & Lead::PageMask) <= 2;
}

void put16(Frame& f, std::size_t at, unsigned value) {
    f[at] = static_cast<std::uint8_t>(value & 0xFF);
    f[at + 1] = static_cast<std::uint8_t>((value >> 8) & 0xFF);
}

int ticksFor(int ms) {
    return (ms + kTickMs - 1) / kTickMs;
}

} // namespace

VirtualUnit::VirtualUnit() : VirtualUnit(Options{}) {}

VirtualUnit::VirtualUnit(const Options& options) : options_(options) {
    // The unit leaves the factory with the PC's own default set.
    ParameterImage image;
    image[Offset::BikeType] = 0;
    loadDefaults(image);
    image[Offset::TestRpm] = kDefaultTestSpeed;
    std::copy_n(image.span().begin(), kRecordSize, eeprom_.begin());
}

void VirtualUnit::receive(std::span<const std::uint8_t> bytes) {
    pending_.insert(pending_.end(), bytes.begin(), bytes.end());
    std::size_t start = 0;
    while (pending_.size() - start >= kFrameSize) {
        const auto window = std::span<const std::uint8_t>(pending_).subspan(start, kFrameSize);
        if (!frameIntact(window) || !knownLead(window[FrameByte::Lead])) {
            // Out of step or garbage on the line: slide on by one byte until a frame fits.
            ++start;
            ++skipped_;
            continue;
        }
        Frame frame;
        std::copy(window.begin(), window.end(), frame.begin());
        start += kFrameSize;
        handle(frame);
    }
    pending_.erase(pending_.begin(), pending_.begin() + static_cast<std::ptrdiff_t>(start));
}

std::vector<std::uint8_t> VirtualUnit::takeOutput() {
    std::vector<std::uint8_t> out;
    out.swap(output_);
    return out;
}

void VirtualUnit::handle(const Frame& request) {
    const std::uint8_t lead = request[FrameByte::Lead];
    ++byLead_[lead];
    lastRequest_ = request;
    if (options_.silent)
        return;

    if (lead == Lead::MonitorRequest) {
        const std::uint8_t flags = request[FrameByte::TestFlags];
        if (flags & TestFlag::Ignition)
            ++ignitionTests_;
        if (flags & TestFlag::PilotLight)
            pilotTestTicks_ = kPilotTestTicks;
        if (flags & TestFlag::Rpm)
            rpmTestTicks_ = kRpmTestTicks;
        reply(monitorFrame());
        return;
    }

    const int page = lead & Lead::PageMask;
    Frame answer{};
    answer[FrameByte::Lead] = replyLead(lead);
    const auto payload = answer.begin() + FrameByte::Payload;
    if (page == 0) {
        const Page info = informationPage();
        std::copy(info.begin(), info.end(), payload);
        reply(answer);
        return;
    }

    const auto stored = eeprom_.begin() + static_cast<std::ptrdiff_t>((page - 1) * kPageSize);
    if ((lead & Lead::ReadFlag) == 0) {
        const auto in = payloadOf(request);
        std::copy(in.begin(), in.end(), stored);
        if (page == 2) {
            // The whole record has arrived: count it and start writing the EEPROM.
            ++programmings_;
            saving_ = kSavingStart;
        }
    }
    std::copy_n(stored, kPageSize, payload);
    if ((lead & Lead::ReadFlag) == 0 && (options_.corruptEcho || options_.corruptEchoPage == page))
        payload[kCorruptedEchoByte] ^= 0x01;
    reply(answer);
}

void VirtualUnit::reply(Frame frame) {
    seal(frame);
    ++replies_;
    if (options_.dropEveryNth > 0 &&
        replies_ % static_cast<std::size_t>(options_.dropEveryNth) == 0) {
        ++dropped_;
        return;
    }
    if (options_.corruptCheck)
        frame[FrameByte::Check] ^= 0xFF;
    output_.insert(output_.end(), frame.begin(), frame.end());
}

void VirtualUnit::tick() {
    ++ticks_;
    noise_ = noise_ * 1103515245u + 12345u;
    if (saving_ > 0)
        --saving_;
    if (pilotTestTicks_ > 0)
        --pilotTestTicks_;
    if (rpmTestTicks_ > 0)
        --rpmTestTicks_;

    if (!engineRunning_ || ignitionCut())
        runTicks_ = 0; // a stopped engine starts again with cranking
    else if (++runTicks_ >= kCrankingTicks + kCycleTicks)
        runTicks_ -= kCycleTicks; // the next cycle, without cranking again

    const CurveOffsets& curve = curveOffsets(curveInUse());
    if (clutchTicks_ > 0) {
        if (--clutchTicks_ == 0)
            clutchPauseTicks_ = ticksFor(eeprom_[curve.clutchPause] * kClutchPauseMs);
    } else if (clutchPauseTicks_ > 0) {
        --clutchPauseTicks_;
    }
    // The clutch master cuts the ignition once per press of the clutch switch.
    const bool clutchInput = inputActive(InputFunction::Clutch);
    if (clutchInput && !clutchInputBefore_ && clutchTicks_ == 0 && clutchPauseTicks_ == 0 &&
        curveRpm() > 0)
        clutchTicks_ = ticksFor(eeprom_[curve.clutchTime] * kClutchTimeMs);
    clutchInputBefore_ = clutchInput;
}

void VirtualUnit::setEngineRunning(bool running) {
    engineRunning_ = running;
    if (!running)
        runTicks_ = 0;
}

void VirtualUnit::setInputs(bool in1, bool in2) {
    in1_ = in1;
    in2_ = in2;
}

bool VirtualUnit::inputActive(int function) const {
    return (in1_ && eeprom_[Offset::Input1] == function) ||
           (in2_ && eeprom_[Offset::Input2] == function);
}

bool VirtualUnit::ignitionCut() const {
    return inputActive(InputFunction::Stop);
}

Curve VirtualUnit::curveInUse() const {
    return inputActive(InputFunction::CurveB) ? Curve::B : Curve::A;
}

std::uint16_t VirtualUnit::peakRpm() const {
    const CurveOffsets& curve = curveOffsets(curveInUse());
    int limit = eeprom_[curve.limiter] * kRpmUnit;
    if (inputActive(InputFunction::StartLimiter))
        limit = std::min(limit, eeprom_[curve.startLimiter] * kRpmUnit);
    return static_cast<std::uint16_t>(limit);
}

std::uint16_t VirtualUnit::curveRpm() const {
    if (!engineRunning_ || ignitionCut())
        return 0;
    if (runTicks_ < kCrankingTicks)
        return kCrankingRpm;
    const int p = (runTicks_ - kCrankingTicks) % kCycleTicks;
    const int peak = std::max<int>(peakRpm(), kIdleRpm);
    int rpm = kIdleRpm;
    if (p < kIdleEnd)
        rpm = kIdleRpm + ((p * 7) % 5 - 2) * 10; // an idle that is never quite steady
    else if (p < kRevUpEnd)
        rpm = kIdleRpm + (peak - kIdleRpm) * (p - kIdleEnd) / (kRevUpEnd - kIdleEnd);
    else if (p < kLimiterEnd)
        rpm = peak;
    else if (p < kRevDownEnd)
        rpm = peak - (peak - kIdleRpm) * (p - kLimiterEnd) / (kRevDownEnd - kLimiterEnd);
    // The limiter holds the engine even when it is set below idle.
    return static_cast<std::uint16_t>(std::min<int>(rpm, peakRpm()));
}

std::uint16_t VirtualUnit::rpm() const {
    if (rpmTestTicks_ > 0)
        return static_cast<std::uint16_t>(eeprom_[Offset::TestRpm] * kRpmUnit);
    return curveRpm();
}

bool VirtualUnit::cranking() const {
    return rpmTestTicks_ == 0 && curveRpm() > 0 && runTicks_ < kCrankingTicks;
}

int VirtualUnit::curveAdvance(std::uint16_t rpm) const {
    const CurveOffsets& curve = curveOffsets(curveInUse());
    const std::size_t n =
        std::clamp<std::size_t>(eeprom_[curve.points], 1, kCurvePoints); // a blank count is 1
    const auto speed = [&](std::size_t i) { return eeprom_[curve.rpm + i] * kRpmUnit; };
    const auto adv = [&](std::size_t i) { return static_cast<int>(eeprom_[curve.advance + i]); };
    if (rpm <= speed(0))
        return adv(0);
    for (std::size_t i = 1; i < n; ++i) {
        if (rpm < speed(i)) {
            const int span = speed(i) - speed(i - 1);
            if (span <= 0)
                return adv(i);
            // Linear between the neighbouring points, rounded to the nearest degree.
            const int num = (adv(i) - adv(i - 1)) * (rpm - speed(i - 1));
            const int step = num >= 0 ? (num + span / 2) / span : (num - span / 2) / span;
            return adv(i - 1) + step;
        }
    }
    return adv(n - 1);
}

int VirtualUnit::advance() const {
    const std::uint16_t r = rpm();
    if (r == 0 || cranking())
        return eeprom_[Offset::BaseAdvance];
    return std::min(curveAdvance(r), kMaxReportedAdvance);
}

Page VirtualUnit::informationPage() const {
    Page info{};
    std::copy(kFirmwareName.begin(), kFirmwareName.end(), info.begin() + InfoByte::Name);
    info[InfoByte::FirmwareNumber] = kFirmwareNumber;
    info[InfoByte::Day] = kBuildDay;
    info[InfoByte::Month] = kBuildMonth;
    info[InfoByte::Year] = kBuildYear;
    info[InfoByte::Hour] = kBuildHour;
    info[InfoByte::Minute] = kBuildMinute;
    const bool mayRead = eeprom_[Offset::NoReading] == 0 && !options_.noReadPermission;
    info[InfoByte::ReadPermission] = mayRead ? 1 : 0;
    info[InfoByte::Version] = static_cast<std::uint8_t>(options_.version);
    return info;
}

Frame VirtualUnit::monitorFrame() const {
    Frame f{};
    f[FrameByte::Lead] = Lead::MonitorFrame;
    const std::uint16_t r = rpm();
    const bool turning = r > 0;
    const Curve c = curveInUse();
    const CurveOffsets& curve = curveOffsets(c);

    put16(f, MonitorByte::Rpm, r);
    const int noise = static_cast<int>((noise_ >> 16) % (2 * kSupplyNoise + 1)) - kSupplyNoise;
    put16(f, MonitorByte::Voltage, static_cast<unsigned>(kSupplyMillivolts + noise));
    put16(f, MonitorByte::ProgramCount, programmings_);

    // The unit's diagnostic numbers.
    const std::array<std::size_t, 8> tests{ticks_ & 0xFFFF,
                                           received(RequestKind::Monitor),
                                           received(RequestKind::Program),
                                           received(RequestKind::Read),
                                           skipped_,
                                           dropped_,
                                           ignitionTests_,
                                           static_cast<std::size_t>(runTicks_)};
    for (std::size_t i = 0; i < tests.size(); ++i)
        put16(f, MonitorByte::TestValues + 2 * i, static_cast<unsigned>(tests[i] & 0xFFFF));

    f[MonitorByte::Input1] = in1_ ? 1 : 0;
    f[MonitorByte::Input2] = in2_ ? 1 : 0;
    f[MonitorByte::Advance] = static_cast<std::uint8_t>(advance() + kAdvanceBias);
    const std::size_t n = std::clamp<std::size_t>(eeprom_[curve.points], 1, kCurvePoints);
    const auto first = eeprom_.begin() + static_cast<std::ptrdiff_t>(curve.advance);
    f[MonitorByte::MaxAdvance] = *std::max_element(first, first + static_cast<std::ptrdiff_t>(n));

    // The virtual pick-up gives what the settings expect; self-search finds it positive.
    const bool negative = eeprom_[Offset::Polarity] == Polarity::Negative;
    f[MonitorByte::PolarityNegative] = negative ? 1 : 0;
    f[MonitorByte::PolarityCheck] = 1;

    const bool startLimiterArmed = inputActive(InputFunction::StartLimiter);
    f[MonitorByte::StartLimiter] =
        startLimiterArmed && turning && r >= eeprom_[curve.startLimiter] * kRpmUnit ? 1 : 0;
    f[MonitorByte::Limiter] = turning && r >= eeprom_[curve.limiter] * kRpmUnit ? 1 : 0;
    f[MonitorByte::KillSwitch] = in1_ && eeprom_[Offset::Input1] == InputFunction::Stop ? 1 : 0;
    f[MonitorByte::Blocking] = in2_ && eeprom_[Offset::Input2] == InputFunction::Stop ? 1 : 0;
    const bool shift =
        (turning && r >= eeprom_[curve.shiftLight] * kRpmUnit) || pilotTestTicks_ > 0;
    f[MonitorByte::ShiftLight] = shift ? 1 : 0;
    f[MonitorByte::Clutch] = clutchTicks_ > 0 ? 1 : 0;
    f[MonitorByte::Pickup] = turning ? 1 : 0;
    f[MonitorByte::BaseAdvance] = !turning || cranking() ? 1 : 0;
    f[MonitorByte::CurveA] = c == Curve::A ? 1 : 0;
    put16(f, MonitorByte::SavingCountdown, saving_);
    f[MonitorByte::DataError] = 0;
    f[MonitorByte::Version] = static_cast<std::uint8_t>(options_.version);
    seal(f);
    return f;
}

std::size_t VirtualUnit::received(RequestKind kind) const {
    if (kind == RequestKind::Monitor)
        return byLead_[Lead::MonitorRequest];
    const std::uint8_t flag = kind == RequestKind::Read ? Lead::ReadFlag : 0;
    std::size_t n = 0;
    for (std::uint8_t page = 0; page <= 2; ++page)
        n += byLead_[flag | page];
    return n;
}

bool VirtualUnit::loadEeprom(const std::string& path) {
    std::ifstream in(path);
    if (!in)
        return false;
    std::vector<long> numbers;
    std::string line;
    while (std::getline(in, line)) {
        const auto text = line.find_first_not_of(" \t\r");
        if (text == std::string::npos || line[text] == '#')
            continue;
        std::istringstream words(line);
        std::string word;
        while (words >> word) {
            char* end = nullptr;
            const long value = std::strtol(word.c_str(), &end, 10);
            if (end == word.c_str() || *end != '\0' || value < 0)
                return false;
            numbers.push_back(value);
        }
    }
    if (numbers.size() < kRecordSize || numbers.size() > kRecordSize + 1)
        return false;
    if (std::any_of(numbers.begin(), numbers.begin() + kRecordSize,
                    [](long v) { return v > 0xFF; }))
        return false;
    if (numbers.size() > kRecordSize && numbers[kRecordSize] > 0xFFFF)
        return false;
    for (std::size_t i = 0; i < kRecordSize; ++i)
        eeprom_[i] = static_cast<std::uint8_t>(numbers[i]);
    if (numbers.size() > kRecordSize)
        programmings_ = static_cast<std::uint16_t>(numbers[kRecordSize]);
    return true;
}

bool VirtualUnit::saveEeprom(const std::string& path) const {
    // Written beside the file and renamed over it, so an interrupted save keeps the old one.
    const std::string temp = path + ".tmp";
    {
        std::ofstream out(temp, std::ios::trunc);
        if (!out)
            return false;
        out << "# zentrola-unit EEPROM: 100 settings bytes, then the number of programmings\n";
        for (std::size_t i = 0; i < kRecordSize; ++i)
            out << static_cast<int>(eeprom_[i]) << ((i % 10 == 9) ? '\n' : ' ');
        out << programmings_ << '\n';
        out.flush();
        if (!out) {
            std::remove(temp.c_str());
            return false;
        }
    }
    // std::rename would refuse to replace an existing file on Windows.
    std::error_code ec;
    std::filesystem::rename(temp, path, ec);
    return !ec;
}

} // namespace zentrola
