// SPDX-License-Identifier: GPL-3.0-or-later
#include "reading/mecabreader.h"

#include <QByteArray>
#include <QCoreApplication>
#include <QList>

#ifndef RINKARO_WITHOUT_MECAB
#include <mecab.h>

#include <dlfcn.h>
#endif

namespace rinkaro
{

QString MeCabReader::missingMessage()
{
    return QCoreApplication::translate(
        "MeCabReader", "漢字の読みを付けるには MeCab と辞書が必要です。Debian のパッケージ "
                       "libmecab2 と mecab-ipadic-utf8 をインストールしてください"
                       "（ルビ《》がすべての漢字に付いたテキストはそのまま使えます）。");
}

#ifdef RINKARO_WITHOUT_MECAB

struct MeCabReader::Library {
};

MeCabReader::MeCabReader() : error_(missingMessage()) {}
MeCabReader::~MeCabReader() = default;
bool MeCabReader::available() const
{
    return false;
}
std::optional<std::vector<WordReader::Word>> MeCabReader::words(const QString &)
{
    return std::nullopt;
}

#else

struct MeCabReader::Library {
    void *handle = nullptr;
    mecab_t *tagger = nullptr;
    decltype(&::mecab_sparse_tonode) parse = nullptr;
    decltype(&::mecab_destroy) destroy = nullptr;
};

MeCabReader::MeCabReader() : library_(std::make_unique<Library>())
{
    // The run-time library alone (libmecab2), not the development link.
    library_->handle = ::dlopen("libmecab.so.2", RTLD_NOW | RTLD_LOCAL);
    if (!library_->handle) {
        error_ = missingMessage();
        return;
    }
    const auto make =
        reinterpret_cast<decltype(&::mecab_new2)>(::dlsym(library_->handle, "mecab_new2"));
    const auto fault =
        reinterpret_cast<decltype(&::mecab_strerror)>(::dlsym(library_->handle, "mecab_strerror"));
    library_->parse = reinterpret_cast<decltype(&::mecab_sparse_tonode)>(
        ::dlsym(library_->handle, "mecab_sparse_tonode"));
    library_->destroy =
        reinterpret_cast<decltype(&::mecab_destroy)>(::dlsym(library_->handle, "mecab_destroy"));
    if (!make || !fault || !library_->parse || !library_->destroy) {
        error_ = missingMessage();
        return;
    }
    library_->tagger = make("");
    if (!library_->tagger) // most often: no dictionary installed
        error_ = missingMessage() +
                 QStringLiteral("\n(MeCab: %1)").arg(QString::fromLocal8Bit(fault(nullptr)));
}

MeCabReader::~MeCabReader()
{
    if (library_->tagger)
        library_->destroy(library_->tagger);
    if (library_->handle)
        ::dlclose(library_->handle);
}

bool MeCabReader::available() const
{
    return library_->tagger != nullptr;
}

std::optional<std::vector<WordReader::Word>> MeCabReader::words(const QString &text)
{
    if (!available())
        return std::nullopt;
    const QByteArray bytes = text.toUtf8();
    const mecab_node_t *node = library_->parse(library_->tagger, bytes.constData());
    if (!node)
        return std::nullopt;
    std::vector<Word> out;
    for (; node; node = node->next) {
        if (node->stat == MECAB_BOS_NODE || node->stat == MECAB_EOS_NODE)
            continue;
        Word word;
        word.written = QString::fromUtf8(node->surface, node->length);
        // The IPA dictionary's features: part of speech (four), conjugation (two), base
        // form, reading, pronunciation. The reading, not the pronunciation: は stays ハ.
        const QList<QByteArray> features = QByteArray(node->feature).split(',');
        if (features.size() > 7 && features[7] != "*")
            word.reading = QString::fromUtf8(features[7]);
        out.push_back(std::move(word));
    }
    return out;
}

#endif

} // namespace rinkaro
