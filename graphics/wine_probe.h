// Whether the process runs under Wine, decided once per process by whether
// the registry key HKLM\Software\Wine opens. Windows build only.
#pragma once

bool RunningUnderWine();
