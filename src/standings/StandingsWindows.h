#pragma once
// Registers the Standings ("FORM1") and Power Ratings ("Power") views.
namespace vexal {
void RegisterStandingsWindows();
}
