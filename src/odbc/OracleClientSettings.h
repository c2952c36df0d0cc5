#pragma once

namespace dravena {

// Oracle's client converts text through the character set that NLS_LANG names and reads numbers
// written as text with the decimal character of NLS_NUMERIC_CHARACTERS. Unless the user chose
// otherwise, the program's connections use UTF-8 and "." so that value texts keep every
// character and their decimal point: NLS_LANG=AMERICAN_AMERICA.AL32UTF8 and
// NLS_NUMERIC_CHARACTERS=".," are set for the process when they are unset. Called before a server
// connection opens; later calls change nothing.
void applyOracleClientDefaults();

} // namespace dravena
