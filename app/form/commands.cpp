#include "app/form/commands.h"

namespace wordpour::form {

std::u16string shortcutText(Shortcut shortcut) {
    switch (shortcut.kind) {
        case Shortcut::Kind::CtrlLetter:
            return u"Ctrl+" + std::u16string(1, static_cast<char16_t>(shortcut.key));
        case Shortcut::Kind::FunctionKey:
            return u"F" + std::u16string(1, static_cast<char16_t>(u'0' + shortcut.key));
        case Shortcut::Kind::None:
            break;
    }
    return {};
}

std::u16string_view plainCaption(std::u16string_view caption) {
    const auto key = caption.rfind(u"(&");
    return key == std::u16string_view::npos ? caption : caption.substr(0, key);
}

}  // namespace wordpour::form
