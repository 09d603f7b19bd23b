// A titled group of radio buttons whose item list can be replaced, as the polarity group
// changes between two and three items with the bike type.
#pragma once

#include <QGroupBox>

#include <vector>

class QButtonGroup;
class QRadioButton;
class QBoxLayout;

namespace zentrola {

class RadioGroup : public QGroupBox {
    Q_OBJECT
  public:
    RadioGroup(int maxItems, QWidget* parent = nullptr, Qt::Orientation = Qt::Vertical);

    // Replaces the item texts ("\n" between items); the selection keeps its index, or the
    // last item when the list got shorter.
    void setItems(const QString& items);
    int itemCount() const { return count_; }
    QString itemText(int index) const;
    void setSelected(int index);
    int selected() const;
    QRadioButton* button(int index) const { return buttons_[static_cast<std::size_t>(index)]; }

  signals:
    // Another item became the chosen one, whatever made it (mouse, keys, an accessibility
    // action); not on a re-pick of the chosen item, not on the program's own setSelected.
    void picked(int index);

  private:
    QButtonGroup* group_;
    QBoxLayout* layout_;
    std::vector<QRadioButton*> buttons_;
    int count_ = 0;
};

} // namespace zentrola
