#pragma once

#include "evaluation/evaluation.h"
#include "ports/windowports.h"
#include "texts/datetext.h"

#include <QComboBox>
#include <QTimeZone>

#include <optional>

class QStringListModel;

namespace lunex {

// The pick-only list of known new moons (`Ujholdak`). It shows "Újholdak"
// until the first pick, and while nothing is picked its text is empty. Its
// popup opens at the latest new moon not after the present moment, as wide
// as its widest entry.
class NewMoonCombo : public QComboBox, public NewMoonList {
    Q_OBJECT
public:
    // The entries are read as civil times of `zone`.
    NewMoonCombo(const Clock &clock, const QTimeZone &zone, QWidget *parent = nullptr);
    void clearEntries() override;
    void appendEntries(const QStringList &entries) override;
    int selectedIndex() const override;
    QString currentText() const override;
    void showPopup() override;

private:
    int latestNotAfterNow();
    // The widest entry's width, or at least `enough` when one is wider.
    int widestEntry(int enough);

    const Clock &clock_;
    QTimeZone zone_;
    QStringListModel *entries_;
    // Worked out at the first opening after a fill: the list does not change
    // while the window is open.
    std::optional<ReadingIndex> readings_;
    std::optional<int> widest_;
};

} // namespace lunex
