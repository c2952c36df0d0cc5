#include "TerminalBar.h"

#include "Options.h"
#include "base/Ports.h"

#include <algorithm>
#include <cmath>

namespace dravena::cli {

namespace {

constexpr std::int64_t RedrawMilliseconds = 100;
constexpr int BarWidth = 30;

QString clockTime(double totalSeconds) {
    const auto s = static_cast<long long>(std::ceil(totalSeconds));
    return QStringLiteral("%1:%2").arg(s / 60).arg(s % 60, 2, 10, QLatin1Char('0'));
}

} // namespace

TerminalBar::TerminalBar(std::FILE* out, bool terminal, std::shared_ptr<Clock> clock)
    : out_(out), terminal_(terminal), clock_(std::move(clock)) {}

void TerminalBar::start(const QString& name, std::int64_t total) {
    name_ = name;
    total_ = total;
    start_ = clock_->steadyMilliseconds();
    lastDrawn_ = -1;
}

void TerminalBar::show(std::int64_t done, bool force) {
    if (!terminal_)
        return;
    const std::int64_t now = clock_->steadyMilliseconds() - start_;
    if (!force && lastDrawn_ >= 0 && now - lastDrawn_ < RedrawMilliseconds && done != total_)
        return;
    lastDrawn_ = now;
    const double fraction =
        total_ > 0 ? std::min(1.0, static_cast<double>(done) / static_cast<double>(total_)) : 1.0;
    const auto filled = static_cast<int>(fraction * BarWidth);
    const double rate = now > 0 ? static_cast<double>(done) * 1000.0 / static_cast<double>(now) : 0;
    const std::int64_t left = std::max<std::int64_t>(total_ - done, 0);
    const QString time =
        rate > 0 ? clockTime(static_cast<double>(left) / rate) : QStringLiteral("-:--");
    const QString line = QStringLiteral("\r\x1b[K%1 [%2%3] %4/%5 rows  %6 rows/s  %7 left")
                             .arg(name_, QString(filled, u'#'), QString(BarWidth - filled, u'.'))
                             .arg(done)
                             .arg(total_)
                             .arg(static_cast<long long>(rate))
                             .arg(time);
    writeOut(out_, line.toUtf8());
    shown_ = true;
}

void TerminalBar::clear() {
    if (!shown_)
        return;
    writeOut(out_, QByteArrayLiteral("\r\x1b[K"));
    shown_ = false;
}

} // namespace dravena::cli
