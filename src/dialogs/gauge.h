#pragma once
// A bar that shows how much of a whole is filled, as a whole percentage:
// progress × 100 ÷ maximum, truncated, and 0 when the maximum is 0. The
// values are 64-bit so that a gauge of mebibytes holds any disk.
#include <QProgressBar>
#include <cstdint>

namespace kinaru {

class Gauge : public QProgressBar {
    Q_OBJECT
public:
    explicit Gauge(QWidget* parent = nullptr);

    std::int64_t MaxValue() const { return maxValue_; }
    std::int64_t Progress() const { return progress_; }
    int PercentDone() const;

    // A maximum below 0 is taken as 0; the progress stays between 0 and the maximum.
    void SetMaxValue(std::int64_t maximum);
    void SetProgress(std::int64_t progress);

private:
    void display();

    std::int64_t maxValue_ = 0;
    std::int64_t progress_ = 0;
};

}  // namespace kinaru
