#pragma once

// The decimal separator of the default locale as the one character the engine takes; '.' when
// the locale's separator is not a single Latin-1 character.
char decimalSeparator();
