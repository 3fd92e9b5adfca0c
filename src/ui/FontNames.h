#pragma once

// The interface names its fonts as the classroom desktop knows them ("宋体", "隶书",
// "MS Sans Serif"); this maps each name to fonts installed from the distribution, and makes the
// buttons' hints large enough to read on the projected picture.
namespace FontNames {

void apply();

} // namespace FontNames
