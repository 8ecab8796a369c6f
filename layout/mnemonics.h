#ifndef MNEMONICS_H
#define MNEMONICS_H

#include <QStringList>

/// `texts` (the entries of one menu, or the menu bar's titles) each with a
/// keyboard mnemonic, an '&' before a letter, distinct within the list as
/// far as the letters allow. A text that has one keeps it; the others take
/// the first free initial of a word, else the first free letter, so that
/// the words shown stay the same. A text with no free letter is left
/// without. "&&" is a literal ampersand, not a mnemonic.
QStringList WithMnemonics(const QStringList &texts);

#endif // MNEMONICS_H
