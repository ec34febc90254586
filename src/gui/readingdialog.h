// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "core/rubytext.h"

#include <QDialog>

#include <vector>

class QLabel;
class QLineEdit;

namespace rinkaro
{

// "読みを直す": a sentence of the learner's text with the reading of each word that has
// kanji, each editable. OK takes the readings only when every one can be typed; otherwise
// the dialog says which one cannot and stays open.
class ReadingDialog : public QDialog
{
    Q_OBJECT
public:
    explicit ReadingDialog(RubyLine sentence, QWidget *parent = nullptr);
    // The sentence with the readings taken (as given until OK was accepted).
    const RubyLine &sentence() const { return sentence_; }

    void accept() override;

private:
    RubyLine sentence_;
    std::vector<std::pair<int, QLineEdit *>> edits_; // segment index, its reading
    QLabel *faultLabel_ = nullptr;
};

} // namespace rinkaro
