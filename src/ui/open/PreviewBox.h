#pragma once

#include <QImage>
#include <QWidget>

#include <array>
#include <optional>

namespace lumiset {

/// \brief A picture box of the open window's preview band: a picture drawn at
/// a given size (stretched, or point for point), with an optional single border.
class PreviewBox : public QWidget {
    Q_OBJECT
public:
    enum class Fit { Stretch, Actual };
    explicit PreviewBox(Fit fit, QWidget* parent = nullptr);

    void setPicture(const QImage& picture, bool bordered);
    const QImage& picture() const { return picture_; }
    bool bordered() const { return bordered_; }

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    QImage picture_;
    Fit fit_;
    bool bordered_ = false;
};

/// \brief The 8 × 32 palette swatch: 9 × 9 squares on a 10-pixel pitch.
class PaletteSwatch : public QWidget {
    Q_OBJECT
public:
    explicit PaletteSwatch(QWidget* parent = nullptr);
    void setCells(const std::array<std::optional<QRgb>, 256>& cells);
    std::optional<QRgb> cell(int n) const { return cells_[n]; }

    static constexpr int kMargin = 2;
    QSize sizeHint() const override { return {320 - 1 + 2 * kMargin, 80 - 1 + 2 * kMargin}; }

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    std::array<std::optional<QRgb>, 256> cells_{};
};

} // namespace lumiset
