#pragma once

namespace orbet {

class MainParts;

// Gives the main window its one BinAngsDL and makes the protected-file
// sub-menu live: PasAng and PassHuku run their commands, Ang and Huk have
// no action.
void wireCryptoCommands(MainParts& form);

} // namespace orbet
