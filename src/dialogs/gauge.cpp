#include "gauge.h"

#include <algorithm>

namespace kinaru {

Gauge::Gauge(QWidget* parent) : QProgressBar(parent) {
    // The bar itself only ever sees the percentage; a range of 0 would make
    // it a busy indicator.
    setRange(0, 100);
    setValue(0);
    setFormat(QStringLiteral("%p%"));
    setAlignment(Qt::AlignCenter);
}

int Gauge::PercentDone() const { return maxValue_ == 0 ? 0 : int(progress_ * 100 / maxValue_); }

void Gauge::SetMaxValue(std::int64_t maximum) {
    maxValue_ = std::max<std::int64_t>(0, maximum);
    progress_ = std::clamp<std::int64_t>(progress_, 0, maxValue_);
    display();
}

void Gauge::SetProgress(std::int64_t progress) {
    progress_ = std::clamp<std::int64_t>(progress, 0, maxValue_);
    display();
}

void Gauge::display() { setValue(PercentDone()); }

}  // namespace kinaru
