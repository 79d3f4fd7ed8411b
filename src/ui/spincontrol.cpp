#include "spincontrol.h"

#include <QKeyEvent>
#include <QLineEdit>
#include <QToolButton>
#include <QVBoxLayout>

namespace ui {

SpinControl::SpinControl(QWidget* parent) : QWidget(parent), up_(new QToolButton(this)), down_(new QToolButton(this))
{
    up_->setArrowType(Qt::UpArrow);
    down_->setArrowType(Qt::DownArrow);
    up_->setObjectName(QStringLiteral("up"));
    down_->setObjectName(QStringLiteral("down"));
    up_->setAccessibleName(tr("More pairs"));
    down_->setAccessibleName(tr("Fewer pairs"));
    for (QToolButton* b : {up_, down_}) {
        b->setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Expanding);
        b->setAutoRepeat(true);
        b->setFocusPolicy(Qt::NoFocus);
    }
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);
    layout->addWidget(up_);
    layout->addWidget(down_);
    connect(up_, &QToolButton::clicked, this, &SpinControl::stepUp);
    connect(down_, &QToolButton::clicked, this, &SpinControl::stepDown);
}

void SpinControl::setBuddy(QLineEdit* box)
{
    if (buddy_)
        buddy_->removeEventFilter(this);
    buddy_ = box;
    if (buddy_)
        buddy_->installEventFilter(this);
}

void SpinControl::step(int delta)
{
    int from = value_;
    if (buddy_) {
        bool ok = false;
        const int typed = buddy_->text().trimmed().toInt(&ok);
        if (ok && typed >= Min && typed <= Max)
            from = typed;
    }
    const int next = std::clamp(from + delta, Min, Max);
    if (buddy_)
        buddy_->setText(QString::number(next));
    if (next != value_) {
        value_ = next;
        emit Change();
    }
}

bool SpinControl::eventFilter(QObject* watched, QEvent* event)
{
    if (watched == buddy_ && event->type() == QEvent::KeyPress && isEnabled()) {
        const int key = static_cast<QKeyEvent*>(event)->key();
        if (key == Qt::Key_Up || key == Qt::Key_Down) {
            step(key == Qt::Key_Up ? +1 : -1);
            return true;
        }
    }
    return QWidget::eventFilter(watched, event);
}

} // namespace ui
