#include "app/port_selector.h"

#include "app/demo_scale_tools.h"
#include "app/port_list.h"
#include "gui/control_helpers.h"

#include <QAbstractItemView>
#include <QFile>
#include <QStyledItemDelegate>

namespace {

constexpr int kDescriptionRole = Qt::UserRole + 1;
const QString kDescriptionGap = QStringLiteral("    ");
constexpr int kPopupMargin = 48; // pixels beside the widest item: frame, scroll bar

PortSelector::Source& source() {
    static PortSelector::Source current;
    return current;
}

// Each item of the open list shows its name and, after a gap, what it is.
class DescribedItemDelegate : public QStyledItemDelegate {
  public:
    using QStyledItemDelegate::QStyledItemDelegate;

  protected:
    void initStyleOption(QStyleOptionViewItem* option, const QModelIndex& index) const override {
        QStyledItemDelegate::initStyleOption(option, index);
        const QString description = index.data(kDescriptionRole).toString();
        if (!description.isEmpty()) {
            option->text += kDescriptionGap + description;
        }
    }
};

} // namespace

PortSelector::PortSelector(QWidget* parent) : QComboBox(parent) {
    setItemDelegate(new DescribedItemDelegate(this));
    refresh();
}

void PortSelector::setSource(Source replacement) { source() = std::move(replacement); }

QString PortSelector::description(int index) const { return itemData(index, kDescriptionRole).toString(); }

void PortSelector::refresh() {
    const QString shown = currentText();
    const bool chosen = count() > 0;
    const std::vector<PortListItem> items = portListItems(source() ? source()() : discoverSerialPorts(), DemoScaleTools::available());
    const QSignalBlocker quiet(this);
    // The first eight keep their places; only what follows them is rebuilt.
    while (count() > kNumberedPortItems) {
        removeItem(count() - 1);
    }
    for (std::size_t i = 0; i < items.size(); ++i) {
        const int index = static_cast<int>(i);
        const QString text = QFile::decodeName(items[i].text.c_str());
        if (index >= count()) {
            addItem(text);
        }
        const QString description = QFile::decodeName(items[i].description.c_str());
        setItemData(index, description, kDescriptionRole);
        setItemData(index, description.isEmpty() ? QVariant() : QVariant(text + QStringLiteral(": ") + description),
                    Qt::ToolTipRole);
    }
    if (chosen) {
        setComboText(*this, shown);
    }
}

void PortSelector::showPopup() {
    refresh();
    int widest = width();
    const QFontMetrics metrics = view()->fontMetrics();
    for (int i = 0; i < count(); ++i) {
        const QString description = this->description(i);
        const QString text = description.isEmpty() ? itemText(i) : itemText(i) + kDescriptionGap + description;
        widest = std::max(widest, metrics.horizontalAdvance(text) + kPopupMargin);
    }
    view()->setMinimumWidth(widest);
    QComboBox::showPopup();
}
