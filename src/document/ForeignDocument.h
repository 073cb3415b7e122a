#pragma once

#include "text/Encoding.h"

#include <QString>
#include <QStringList>

#include <optional>

// Document files in another encoding than code page 932: what is found before one is
// loaded, and the question the user answers before anything changes.
namespace qel {

struct ForeignDocument {
    encoding::Recognition recognition;
    encoding::Converted converted; // the whole file, converted
};

// Looks at the start of the file at `path`; when it is in another encoding, reads and
// converts the whole file. nullopt for a code page 932 file, which loads as it always
// did. Throws Error, as a load does, when the file cannot be read or is no regular
// file.
std::optional<ForeignDocument> examineDocumentFile(const QString& path);

// The answers, in the order of foreignDocumentButtons().
enum class ForeignAnswer { Convert, AsItIs, Cancel };
QStringList foreignDocumentButtons();
// Names the encoding found and, for a conversion, how many characters become "?" and
// the first few of them, or that nothing is lost.
QString foreignDocumentQuestion(const QString& path, const ForeignDocument& document);

} // namespace qel
