#pragma once

// The interface names its fonts as the classroom desktop knows them ("宋体", "隶书",
// "MS Sans Serif"); this maps each name to fonts installed from the distribution.
namespace FontNames {

void apply();

} // namespace FontNames
