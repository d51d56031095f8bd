#pragma once
// What makes nimbrel-services.exe a Windows program: its arguments in
// UTF-8, its console, and its start at the user's logon.

#include <string>
#include <vector>

namespace nimbrel::services {

// The command line's arguments after the program's name, in UTF-8.
std::vector<std::string> ProgramArguments();

// True when the program has a console of its own, as after a double click
// (not a console it shares with the prompt that started it).
bool HasOwnConsole();
// Leaves the console, which then closes if it was the program's own.
void LeaveConsole();

// Makes the program start at this user's logon, with these arguments and
// without a console (the value nimbrel-services under HKEY_CURRENT_USER's
// Run key; no administrator rights needed), and starts it so now. said:
// what was done, or why not.
bool InstallLogonStart(const std::vector<std::string>& arguments, std::string& said);
// Removes that value and stops the gateways it started in this session.
bool UninstallLogonStart(std::string& said);

// The option the logon start passes: no console.
inline constexpr char kBackgroundOption[] = "--background";

}  // namespace nimbrel::services
