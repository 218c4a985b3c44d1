#include "app/qt/dialogs/companions_dialog.h"

#include <array>
#include <utility>

#include <QAbstractItemView>
#include <QComboBox>
#include <QDialog>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>

#include "app/form/layout.h"
#include "app/qt/command_button.h"
#include "app/qt/dialogs/message_box.h"
#include "app/qt/fonts.h"
#include "app/qt/place.h"
#include "app/qt/program_icon.h"
#include "app/qt/qt_text.h"

namespace wordpour::qt {

bool CompanionsDialog::s_preset = false;
std::optional<form::Companions> CompanionsDialog::s_nextReply;

void CompanionsDialog::setNextReply(std::optional<form::Companions> reply) {
    s_preset = true;
    s_nextReply = std::move(reply);
}

std::optional<form::Companions> CompanionsDialog::edit(QWidget* parent,
                                                       const form::Companions& now) {
    if (s_preset) {
        s_preset = false;
        return std::exchange(s_nextReply, std::nullopt);
    }
    QDialog dialog(parent);
    dialog.setWindowTitle(toQt(form::kCompanionsDialog.title));
    dialog.setWindowIcon(programIcon());
    dialog.setFont(defaultFont());
    dialog.setFixedSize(px(form::kCompanionsDialog.width), px(form::kCompanionsDialog.height));
    place(new QLabel(toQt(form::kCompanionsPrompt.text), &dialog), form::kCompanionsPrompt);

    std::array<QComboBox*, form::kMaxCompanions> kinds{};
    std::array<QLineEdit*, form::kMaxCompanions> texts{};
    for (std::size_t i = 0; i < form::kMaxCompanions; ++i) {
        const form::CompanionRowDef& row = form::kCompanionRows[i];
        auto* label = place(new QLabel(toQt(row.label.text), &dialog), row.label);
        kinds[i] = place(new QComboBox(&dialog), row.kind);
        // On Linux a screen reader hears a drop-down box by its label and its
        // choice; its list, a window of its own, is named here.
        kinds[i]->view()->setAccessibleName(toQt(row.kind.spokenName));
        for (const auto& def : form::kCompanionKinds) kinds[i]->addItem(toQt(def.caption));
        label->setBuddy(kinds[i]);
        for (int k = 0; k < static_cast<int>(std::size(form::kCompanionKinds)); ++k)
            if (form::kCompanionKinds[k].kind == now.columns[i].kind) kinds[i]->setCurrentIndex(k);
        texts[i] = place(new QLineEdit(toQt(now.columns[i].text), &dialog), row.text);
    }
    auto* numberLabel =
        place(new QLabel(toQt(form::kNextNumberLabel.text), &dialog), form::kNextNumberLabel);
    auto* number =
        place(new QLineEdit(QString::number(now.nextNumber), &dialog), form::kNextNumberBox);
    number->setAttribute(Qt::WA_InputMethodEnabled, false);
    numberLabel->setBuddy(number);
    auto* ok =
        place(new CommandButton(toQt(form::kCompanionsOk.text), &dialog), form::kCompanionsOk);
    auto* cancel = place(new CommandButton(toQt(form::kCompanionsCancel.text), &dialog),
                         form::kCompanionsCancel);
    ok->setDefault(true);

    // A column after a なし is not written: it is shown disabled, and a
    // fixed text's box only for a fixed text.
    const auto arrange = [&] {
        bool open = true;
        for (std::size_t i = 0; i < form::kMaxCompanions; ++i) {
            const auto kind = form::kCompanionKinds[kinds[i]->currentIndex()].kind;
            kinds[i]->setEnabled(open);
            texts[i]->setEnabled(open && kind == form::CompanionKind::FixedText);
            open = open && kind != form::CompanionKind::None;
        }
    };
    for (auto* kind : kinds)
        QObject::connect(kind, &QComboBox::currentIndexChanged, &dialog, arrange);
    arrange();

    form::Companions set = now;
    QObject::connect(cancel, &QPushButton::clicked, &dialog, &QDialog::reject);
    QObject::connect(ok, &QPushButton::clicked, &dialog, [&] {
        bool whole = false;
        const long next = number->text().trimmed().toLong(&whole);
        if (!whole) {
            MessageBox::show(&dialog, toQt(form::kNextNumberRefused), form::kExclamation,
                             toQt(form::kCompanionsDialog.title));
            number->setFocus();
            number->selectAll();
            return;
        }
        set.nextNumber = next;
        for (std::size_t i = 0; i < form::kMaxCompanions; ++i)
            set.columns[i] = {form::kCompanionKinds[kinds[i]->currentIndex()].kind,
                              fromQt(texts[i]->text())};
        dialog.accept();
    });
    kinds[0]->setFocus();
    if (dialog.exec() != QDialog::Accepted) return std::nullopt;
    return set;
}

}  // namespace wordpour::qt
