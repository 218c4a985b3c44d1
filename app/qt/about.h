// The about box: the program's name, version, picture, author and where to
// find help. Shown modeless; OK hides it.
#pragma once

#include <QWidget>

class QGroupBox;
class QLabel;
class QPushButton;

namespace wordpour::app {

class Form3 : public QWidget {
    Q_OBJECT

public:
    Form3();

    void Command1_Click();

private:
    void createControls();
    QLabel* createLabel(const char* name, const QString& text, int left, int top, int width,
                        int height);

    QGroupBox* Frame1 = nullptr;
    QPushButton* Command1 = nullptr;
};

}  // namespace wordpour::app
