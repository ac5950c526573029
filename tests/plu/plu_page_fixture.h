#pragma once
// The "PLU" page shown offscreen with a link to the simulated scale on a
// real pseudo-terminal, and the helpers that drive it like a user.

#include "gui/page_context.h"
#include "link/posix_serial_channel.h"
#include "link/scale_link.h"
#include "plu/plu_page.h"
#include "plu/progress_window.h"
#include "gui/range_spin_edit.h"
#include "sim/scale_records.h"
#include "sim/simulated_scale.h"
#include "tests/support/recording_ui.h"

#include <QLineEdit>
#include <QPushButton>
#include <QTableView>
#include <QTest>
#include <QTimer>
#include <functional>
#include <gtest/gtest.h>
#include <memory>

class PluPageTest : public ::testing::Test {
  protected:
    explicit PluPageTest(char separator = '.') : separator_(separator) {}

    void SetUp() override {
        page = std::make_unique<PluPage>(PageContext{link, ui, remembered, separator_});
        page->allClicked();
        page->resize(775, 400);
        page->show();
        ASSERT_TRUE(QTest::qWaitForWindowExposed(page.get()));
    }
    void TearDown() override {
        page.reset();
        QCoreApplication::processEvents();
    }

    void connect() {
        ASSERT_TRUE(scale.start());
        ASSERT_TRUE(link.openLink(PortId::named(scale.device()), 115200)) << link.openFailure().reason;
    }
    // Every PLU present, priced at its number in hundredths, named after it.
    void fillScale(const std::function<bool(int)>& present = [](int) { return true; }) {
        scale.withMemory([&](sim::ScaleMemory& memory) {
            for (int plu = 0; plu < sim::kPluCount; ++plu) {
                sim::PluFields fields;
                fields.price = present(plu) ? plu : -1;
                fields.name = "PLU " + std::to_string(plu);
                fields.flags = 1;
                memory.plu[static_cast<std::size_t>(plu)] = sim::encodePlu(fields);
            }
            return 0;
        });
    }
    std::vector<int> requestedPlus(std::uint8_t command) const {
        std::vector<int> plus;
        for (const auto& request : scale.requests()) {
            if (request.command == command && request.payload.size() >= 2) {
                plus.push_back(request.payload[0] * 256 + request.payload[1]);
            }
        }
        return plus;
    }
    int commandCount(std::uint8_t command) const {
        int n = 0;
        for (const auto& request : scale.requests()) {
            n += request.command == command ? 1 : 0;
        }
        return n;
    }

    QTableView& grid() { return *page->findChild<QTableView*>("StringGrid1"); }
    QAbstractItemModel& model() { return *grid().model(); }
    QString cell(int row, int column) { return model().index(row - 1, column).data().toString(); }
    void setCell(int row, int column, const QString& text) {
        model().setData(model().index(row - 1, column), text);
    }
    RangeSpinEdit& spin(const char* name) { return *page->findChild<RangeSpinEdit*>(name); }
    void setRange(int from, int to) {
        spin("SpinEdit1").setValue(from);
        spin("SpinEdit2").setValue(to);
    }
    void click(const char* name) { page->findChild<QPushButton*>(name)->click(); }
    TForm2& progress() { return page->progressWindow(); }

    // Runs `action` each time the transfer lets events run, until it returns true.
    void duringTransfer(std::function<bool()> action) {
        auto* timer = new QTimer(page.get());
        timer->setInterval(0);
        QObject::connect(timer, &QTimer::timeout, timer, [timer, action = std::move(action)] {
            if (action()) {
                timer->stop();
            }
        });
        timer->start();
    }

    // Opens an editor on a cell and types into it as the user would.
    QLineEdit& edit(int row, int column) {
        const QModelIndex index = model().index(row - 1, column);
        grid().setCurrentIndex(index);
        grid().edit(index);
        auto* editor = qobject_cast<QLineEdit*>(grid().indexWidget(index));
        if (editor == nullptr) {
            ADD_FAILURE() << "no editor opened on row " << row << " column " << column;
            static QLineEdit none;
            return none;
        }
        return *editor;
    }

    char separator_;
    sim::SimulatedScale scale;
    RecordingUi ui;
    RememberedText remembered;
    ScaleLink link{std::make_unique<PosixSerialChannel>(), ui};
    std::unique_ptr<PluPage> page;
};
