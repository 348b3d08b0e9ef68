#include "tools/trouble_codes.h"

#include <utility>

namespace quelm {
namespace {

// Texts kept word for word as the engine computer's service literature gives them.
constexpr std::pair<int, std::string_view> kKnownCodes[] = {
    {11, "System Pass"},
    {15, "EEC Read Only Memory Test Failed (OK if you have a chip)"},
    {16, "Ignition Diagnostic Monitor (IDM) signal not recieved"},
    {19, "Failure in EEC internal voltage"},
    {21, "ECT out of self-test range"},
    {22, "MAP/BAP out of self-test range"},
    {23, "TPS out of self test range"},
    {24, "ACT or VAT input out of self test range"},
    {26, "MAF or VAF input out of self test range"},
    {28, "VAT out of self test range"},
    {31, "EVP or PFE circuit below minimum voltage"},
    {32, "EVP voltage below closed limit / EPT circuit voltage low"},
    {34, "Insufficient EGR Flow / Excessive exhaust back pressure"},
    {35, "EVP/PFE circuit above max voltage"},
    {47, "4x4 switch is closed"},
    {51, "ECT sensor fault or circuit open"},
    {52, "PSPS circuit is open circuit"},
    {53, "TPS voltage above max voltage"},
    {54, "ACT or VAT sensor circuit open"},
    {56, "MAF or VAF circuit above max voltage or TOT sensor failure"},
    {57, "Octane Adjust pin in use"},
    {58, "VAT indicated -40deg F; circuit open"},
    {59, "Low speed fuel pump circuit failure or AXOD 4/3 pressure switch circuit fail"},
    {61, "ECT sensor fault or circuit grounded"},
    {62, "AXOD 4/3 or 3/2 pressure switch failed closed"},
    {63, "TPS circuit below minimum voltage"},
    {64, "ACT or VAT sensor fault or circuit grounded"},
    {66, "TOT sensor input is less than minimum or VAF circuit below minimum"},
    {67, "Neutral pressure switch circuit open or neutral drive switch circuit open"},
    {68, "VAT circuit grounded or AXOD transmission temperature switch failed open"},
    {69, "AXOD 4/3 or 3/2 pressure switch failed closed"},
    {73, "Insufficient throttle position change"},
    {79, "AC on / Defrost on during test"},
    {81,
     "Insufficient idle air solenoid output voltage or secondary air injection diverter (AM2) "
     "solenoid circuit failure"},
    {82, "Secondary air injection bypass (AM1) solenoid circuit failure"},
    {83,
     "EGRC solenoid circuit failure (2.3L MAP), High speed electro-drive fan HEDF circuit failure "
     "or Low speed fuel pump relay circuit open (3.0L MAF-SFI)"},
    {84, "EGR vacuum regulator circuit open"},
    {85, "Canister Purge (CANP) circuit failure"},
    {86, "Adaptive fuel rich limit reached or 3/4 shift solenoid circuit failure"},
    {87, "Fuel pump primary circuit failure"},
    {88, "Electro-drive fan EDF circuit failure"},
    {89, "AXOD Lock-Up Solenoid circuit failure or Clutch Converter Overide (CCO) circuit failure"},
    {91, "Shift solenoid 1 circuit failure"},
    {92, "Shift Solenoid 2 circuit failure"},
    {93,
     "TPS sensor input low at maximum DC motor extension or Coast Clutch Solenoid circuit failure "
     "(E4OD)"},
    {94, "Converter Clutch Control (CCC) solenoid circuit failure"},
    {95, "Fuel pump secondary circuit failure"},
    {96, "High speed fuel pump relay circuit open; fuel pump secondary circuit failure"},
    {97, "Overdrive cancel indicator light circuit failure"},
    {98, "Electronic Pressure Control (EPC) circuit failure"},
    {99, "Electronic Pressure Control (EPC) circuit failure"},
};

}  // namespace

void LoadTroubleCodes(TroubleCodes& table) {
    table.fill(std::string_view{});
    for (const auto& [code, text] : kKnownCodes) {
        table[static_cast<std::size_t>(code)] = text;
    }
}

TroubleCodes LoadTroubleCodes() {
    TroubleCodes table;
    LoadTroubleCodes(table);
    return table;
}

std::string_view TroubleCodeText(const TroubleCodes& table, int code) {
    if (code < 0 || code >= kTroubleCodeCount) {
        return {};
    }
    return table[static_cast<std::size_t>(code)];
}

}  // namespace quelm
