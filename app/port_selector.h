#pragma once
// The port selector (ComboBox2): COM1 to COM8, then the ports this computer
// has, each with what it is beside its name. The list is read again every
// time it opens, so an adapter plugged in a moment ago is there; a typed name
// is kept as it is.

#include "link/port_discovery.h"

#include <QComboBox>
#include <functional>
#include <vector>

class PortSelector : public QComboBox {
    Q_OBJECT
  public:
    using Source = std::function<std::vector<SerialPortInfo>()>;

    explicit PortSelector(QWidget* parent = nullptr);

    // Where every selector finds its ports from now on (tests give a made-up
    // list); an empty source restores the computer's own.
    static void setSource(Source source);

    // Reads the ports again and rebuilds the items after COM8, keeping the
    // text the selector shows.
    void refresh();
    void showPopup() override;

    // The description shown beside an item's name ("" for none).
    QString description(int index) const;
};
