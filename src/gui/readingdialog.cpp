// SPDX-License-Identifier: GPL-3.0-or-later
#include "gui/readingdialog.h"

#include "core/owntext.h"

#include <QDialogButtonBox>
#include <QFormLayout>
#include <QLabel>
#include <QLineEdit>
#include <QVBoxLayout>

namespace rinkaro
{

namespace
{

bool hasKanji(const QString &text)
{
    for (QChar ch : text)
        if (isKanji(ch.unicode()) || ch.isSurrogate())
            return true;
    return false;
}

} // namespace

ReadingDialog::ReadingDialog(RubyLine sentence, QWidget *parent)
    : QDialog(parent), sentence_(std::move(sentence))
{
    setObjectName(QStringLiteral("readingDialog"));
    setWindowTitle(tr("読みを直す"));
    auto *layout = new QVBoxLayout(this);
    auto *text = new QLabel(writtenText(sentence_), this);
    text->setObjectName(QStringLiteral("sentenceLabel"));
    text->setWordWrap(true);
    layout->addWidget(text);
    auto *form = new QFormLayout;
    for (size_t i = 0; i < sentence_.size(); ++i) {
        const RubySegment &segment = sentence_[i];
        if (!hasKanji(segment.written))
            continue;
        auto *edit = new QLineEdit(segment.reading, this);
        edit->setObjectName(QStringLiteral("reading%1").arg(i));
        form->addRow(segment.written, edit);
        edits_.emplace_back(int(i), edit);
    }
    layout->addLayout(form);
    faultLabel_ = new QLabel(this);
    faultLabel_->setObjectName(QStringLiteral("faultLabel"));
    faultLabel_->setStyleSheet(QStringLiteral("color: #c00000"));
    layout->addWidget(faultLabel_);
    auto *buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
    connect(buttons, &QDialogButtonBox::accepted, this, &ReadingDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &ReadingDialog::reject);
    layout->addWidget(buttons);
    if (edits_.empty())
        faultLabel_->setText(tr("この文には漢字の語がありません。"));
}

void ReadingDialog::accept()
{
    RubyLine corrected = sentence_;
    for (const auto &[index, edit] : edits_) {
        const QString fault = correctReading(corrected, index, edit->text());
        if (!fault.isEmpty()) {
            faultLabel_->setText(tr("%1：%2").arg(corrected[size_t(index)].written, fault));
            edit->setFocus();
            return;
        }
    }
    sentence_ = normalized(corrected);
    QDialog::accept();
}

} // namespace rinkaro
