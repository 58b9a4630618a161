// The online version check as the menu sees it: ver.dat (installed version and the player's
// choice), the first-start question, one check per menu start on a worker thread, and the
// "New Version Available!" box when the answer arrives. The network exchange itself lives in
// net/; this file turns its plain-text answer into menu records.
#pragma once

#include <cstdint>
#include <string>

// Host, port and web address of the version server for this run (main sets them from the build
// settings or --version-server before the menu starts).
void kv_version_set_server(const std::string& host, int32_t port);

// Menu start: reads ver.dat into OFFLINEVERSION and ALLOWCHECKVERSION; opens the first-start
// question in the confirm box when the player was never asked, starts a check when allowed.
void kv_version_menu_start();

// The answer to the first-start question (confirm box with CONFIRMKEY 1): 1 allows the check,
// 0 refuses it. Rewrites ver.dat and starts a check when allowed.
void kv_version_answer(int32_t allow);

// Starts one check without waiting for it.
void KV_LOAD_CHECKVERSION();

// Once per menu frame: when a check has answered, opens the new-version box if needed.
void kv_version_poll();

// Ends or abandons a running check (menu shutdown).
void kv_version_shutdown();

// True while a check runs or its new-version box waits for another box to close.
bool kv_version_check_running();

// The web address named in the question and the new-version box (default: the build setting),
// and the file that holds the installed version and the choice (default "ver.dat" in the game
// directory). Tests point these elsewhere.
void kv_version_set_web_address(const std::string& web);
const std::string& kv_version_web_address();
void kv_version_set_file(const std::string& path);
