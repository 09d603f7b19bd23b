#include "ui/RadioGroup.h"

#include <QButtonGroup>
#include <QHBoxLayout>
#include <QRadioButton>
#include <QVBoxLayout>

namespace zentrola {

RadioGroup::RadioGroup(int maxItems, QWidget* parent, Qt::Orientation orientation)
    : QGroupBox(parent), group_(new QButtonGroup(this)),
      layout_(orientation == Qt::Vertical ? static_cast<QBoxLayout*>(new QVBoxLayout(this))
                                          : new QHBoxLayout(this)) {
    layout_->setSpacing(0);
    layout_->setContentsMargins(8, 2, 4, 2);
    for (int i = 0; i < maxItems; ++i) {
        auto* b = new QRadioButton(this);
        group_->addButton(b, i);
        layout_->addWidget(b);
        buttons_.push_back(b);
    }
    count_ = maxItems;
    connect(group_, &QButtonGroup::idToggled, this, [this](int id, bool checked) {
        if (checked)
            emit picked(id);
    });
}

void RadioGroup::setItems(const QString& items) {
    const QStringList list = items.split(QLatin1Char('\n'));
    const int old = selected();
    count_ = std::min<int>(static_cast<int>(list.size()), static_cast<int>(buttons_.size()));
    for (int i = 0; i < static_cast<int>(buttons_.size()); ++i) {
        QRadioButton* b = buttons_[static_cast<std::size_t>(i)];
        if (i < count_) {
            if (b->text() != list[i])
                b->setText(list[i]);
            b->setVisible(true);
        } else {
            b->setVisible(false);
        }
    }
    if (old >= count_)
        setSelected(count_ - 1);
}

QString RadioGroup::itemText(int index) const {
    return index >= 0 && index < count_ ? buttons_[static_cast<std::size_t>(index)]->text()
                                        : QString();
}

void RadioGroup::setSelected(int index) {
    if (index < 0 || index >= count_)
        index = count_ - 1;
    QAbstractButton* b = group_->button(index);
    if (b && !b->isChecked()) {
        const QSignalBlocker block(group_);
        b->setChecked(true);
    }
}

int RadioGroup::selected() const {
    return group_->checkedId();
}

} // namespace zentrola
