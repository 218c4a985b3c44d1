// The type-to-find list: a list under the word box that shows the entries
// matching what is typed, without taking the keyboard focus from the box.
#pragma once

#include <functional>
#include <vector>

#include <QListView>
#include <QStringListModel>

namespace wordpour::app {

class FindList final : public QListView {
    Q_OBJECT

public:
    // `picked` receives the row clicked or chosen with Enter.
    FindList(QWidget* box, std::function<void(int row)> picked);

    // Shows `words` under the box, the first highlighted.
    void showWords(const std::vector<std::u16string>& words);
    // Down and Up move the highlight; Enter picks; Escape closes. Returns
    // whether the key was the list's.
    bool handleKey(int key);

protected:
    void hideEvent(QHideEvent* event) override;

private:
    // The highlighted entry, as the word box's description.
    void describe(const QString& entry);

    QWidget* box_;
    QStringListModel words_;
    std::function<void(int)> picked_;
};

}  // namespace wordpour::app
