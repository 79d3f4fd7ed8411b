#pragma once
// The up-down arrows beside the quantity box. It counts 1 to 10 in steps of
// 1 and writes its value as plain digits into the box. A step starts from the
// number in the box when that is a whole number within the range, else from
// its own last value. The Up and Down keys step it while the box has focus.

#include <QWidget>

class QLineEdit;
class QToolButton;

namespace ui {

class SpinControl : public QWidget {
    Q_OBJECT
public:
    static constexpr int Min = 1;
    static constexpr int Max = 10;

    explicit SpinControl(QWidget* parent = nullptr);

    void setBuddy(QLineEdit* box);
    int value() const { return value_; }

    void stepUp() { step(+1); }
    void stepDown() { step(-1); }

signals:
    // The value changed.
    void Change();

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void step(int delta);

    QToolButton* up_;
    QToolButton* down_;
    QLineEdit* buddy_ = nullptr;
    int value_ = Min;
};

} // namespace ui
