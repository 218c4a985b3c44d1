// The about box: the program's name, version, picture, author and where to
// find help. Shown modeless; OK hides it.
#pragma once

#include <QWidget>

namespace wordpour::qt {

class AboutBox : public QWidget {
    Q_OBJECT

public:
    AboutBox();
};

}  // namespace wordpour::qt
