// The program's icon, drawn by tools/make_art.py, used by every window.
#pragma once

#include <QIcon>

namespace wordpour::qt {

inline QIcon programIcon() {
    QIcon icon;
    icon.addFile(QStringLiteral(":/wordpour/wordpour-16.png"), QSize(16, 16));
    icon.addFile(QStringLiteral(":/wordpour/wordpour-32.png"), QSize(32, 32));
    return icon;
}

}  // namespace wordpour::qt
