#ifndef VELDRANE_SELECTION_FILESPEC_H
#define VELDRANE_SELECTION_FILESPEC_H
// The file-specification matching rule that every listing, estimate and purge
// applies, and the path pieces it works on. Pure text functions.
//
// The rule is deliberately not a shell glob: name and specification are split
// at their last dot and the halves matched separately; an empty pattern half
// matches anything; "*" jumps to the first occurrence of the next literal
// character and never backtracks. Saved setups and users' habits depend on
// exactly this behaviour.

#include <QString>

#include "support/StrProc.h"

namespace Filespec {

using StrProc::LowerCaseAccented;
using StrProc::RemoveChars;

// True when a bare file name satisfies spec. Names holding "?", "*", ":" or
// "\" never match.
bool MatchesFilespec(const QString& name, const QString& spec, bool caseSensitive);

// One half of a name against one half of a specification.
bool WildcardMatch(const QString& nameHalf, const QString& patternHalf, bool caseSensitive);

// Text after the last backslash; empty when there is no backslash.
QString GetFileName(const QString& path, bool lowerCase = false);

// Text up to and including the last backslash; empty when there is none.
QString GetFolderPart(const QString& path);

// Text after the last dot of the file-name part (the text after the last
// backslash, or all of it when there is none); empty when it has no dot.
QString GetExtension(const QString& path, bool lowerCase = false);

bool HasWildcards(const QString& text);

} // namespace Filespec

#endif
