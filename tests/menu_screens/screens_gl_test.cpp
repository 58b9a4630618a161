// Every menu screen and box drawn by KV_MENU_RENDER from the records alone, checked on the
// pixels that show its layout, and kept as build/screenshots/menu_*.png for a look.
#include "menu_gl.h"

#include <cmath>

using namespace menu_test;

namespace {

void two_pilots() {
    KVGLOBALS.PROFILES[0] = sample_pilot("ALICE", "HAWK");
    KVGLOBALS.PROFILES[1] = sample_pilot("BOB", "RAVEN");
    KVGLOBALS.PROFILES[1].MISSIONNUM = 0;
    KVGLOBALS.PROFILES[1].USWSF = 0;
    KVGLOBALS.PROFILES[1].ENGINEERS = 0;
    KVGLOBALS.PROFILES[1].FCPKIT = 0;
    KV_MENUGLOBALS.NUMPROFILES = 2;
}

void research_catalogue() {
    const char* titles[7] = {"Tail Pod Rack", "Reinforced Pod Mounts", "Pod Fire Control",
                             "Extended Pod Magazine", "Thermal Seeker Heads", "Armoured Pod Casing",
                             "Twin Pod Launcher"};
    for (int k = 0; k < 7; ++k) {
        KVGLOBALS.TECHNOLOGYDATA[k].TITLE = titles[k];
        KVGLOBALS.TECHNOLOGYDATA[k].TIMETORESEARCH = k + 1;
        KVGLOBALS.TECHNOLOGYDATA[k].DESCRIPTION =
            "A field of research number " + std::to_string(k) + ".\\nIts second line of description.";
    }
}

}  // namespace

// Nothing is drawn while every fade is 0: the title screen's own fade is still 0 when it is
// drawn, and the window screens and boxes stay invisible.
TEST_F(MenuGl, AllFadesZeroDrawsABlackFrame) {
    KV_MENUGLOBALS.CURMENU = 7;
    two_pilots();
    KV_MENUGLOBALS.CONFIRMTITLE = "CONFIRM REMOVAL";
    const Frame f = render();
    EXPECT_EQ(f.total(), 0);
    // The frame itself advanced the current screen's fade.
    EXPECT_FLOAT_EQ(KV_MENUGLOBALS.MENUFADE[7], 0.05f);
}

TEST_F(MenuGl, TitleScreenShowsNameItemsAndTheHighlightOfTheSelectedItem) {
    show(7);
    KV_MENUGLOBALS.SELMAIN = 0;
    KV_MENUGLOBALS.SELMAINFADE[0] = 1.0f;
    const Frame first = render("menu_title");
    // The background runs from grey at the top to black at the bottom.
    EXPECT_GT(first.sum(5, 2), first.sum(5, H - 3) + 60);
    // The name in light letters across the upper third, centred.
    EXPECT_GT(first.bright(W / 4, H / 4 - 20, 3 * W / 4, H / 3 + 10, 150), 2000);
    EXPECT_EQ(first.bright(0, H / 4 - 20, W / 8, H / 3 + 10, 150), 0);

    // The band follows the selection: item 0 is lit, then item 2.
    auto band_rows = [](const Frame& f, int item) {
        // Item rows of a 1024 x 768 window lie 64 pixels apart from y = 322.
        const int y = 322 + 64 * item;
        return f.reddish(W / 2 - 300, y - 30, W / 2 + 300, y + 30);
    };
    EXPECT_GT(band_rows(first, 0), 3000);
    EXPECT_LT(band_rows(first, 2), 100);
    KV_MENUGLOBALS.SELMAIN = 2;
    KV_MENUGLOBALS.SELMAINFADE[0] = 0.0f;
    KV_MENUGLOBALS.SELMAINFADE[2] = 1.0f;
    const Frame second = render();
    EXPECT_LT(band_rows(second, 0), 100);
    EXPECT_GT(band_rows(second, 2), 3000);
    // The renderer eases the highlights: the selected one stays full, the others fall.
    EXPECT_FLOAT_EQ(KV_MENUGLOBALS.SELMAINFADE[2], 1.0f);
    EXPECT_FLOAT_EQ(KV_MENUGLOBALS.SELMAINFADE[0], 0.0f);
}

TEST_F(MenuGl, ResumeGameAppearsOnlyAfterAMissionWasStarted) {
    show(7);
    KV_MENUGLOBALS.SELMAIN = 0;
    const Frame before = render();
    KVGLOBALS.MISSIONSTARTED = 1;
    KV_MENUGLOBALS.SELMAIN = 4;
    KV_MENUGLOBALS.SELMAINFADE[4] = 1.0f;
    const Frame after = render("menu_title_resume");
    // "resume game" stands one empty row below "quit game".
    const int y = 322 + 64 * 5;
    EXPECT_EQ(before.bright(W / 4, y - 20, 3 * W / 4, y + 20, 150), 0);
    EXPECT_GT(after.bright(W / 4, y - 20, 3 * W / 4, y + 20, 150), 200);
    EXPECT_GT(after.reddish(W / 2 - 300, y - 30, W / 2 + 300, y + 30), 3000);
}

TEST_F(MenuGl, CreditsScrollTheirLinesUpwards) {
    show(9);
    KV_MENUGLOBALS.CREDITLINES = 3;
    KV_MENUGLOBALS.CREDITROW[0] = "KESSRA VORN";
    KV_MENUGLOBALS.CREDITROW[1] = "A game by the Kessra Vorn team";
    KV_MENUGLOBALS.CREDITROW[2] = "Lead and integration - the team lead";
    KV_MENUGLOBALS.CREDITSFADE = 1.0f;
    KV_MENUGLOBALS.CREDITSSCROLLY = 0.0f;
    const Frame f = render("menu_credits");
    EXPECT_FLOAT_EQ(KV_MENUGLOBALS.CREDITSSCROLLY, 0.3f);
    // The first line starts at three quarters of the height, centred.
    const int y = static_cast<int>(0.75f * H);
    EXPECT_GT(f.bright(W / 2 - 60, y - 2, W / 2 + 60, y + 14, 120), 30);
    EXPECT_EQ(f.bright(0, y - 2, W / 2 - 200, y + 14, 120), 0);
    // Lines that have scrolled up under the heading are not drawn over it.
    KV_MENUGLOBALS.CREDITSSCROLLY = 0.4f * H;
    const Frame later = render();
    const int gone = static_cast<int>(0.35f * H);
    EXPECT_EQ(later.bright(W / 2 - 60, gone - 2, W / 2 + 60, gone + 14, 120) -
                  f.bright(W / 2 - 60, gone - 2, W / 2 + 60, gone + 14, 120),
              0);
}

TEST_F(MenuGl, BackdropAndEveryWindowScreenDrawInsideTheMenuWindowOnly) {
    two_pilots();
    research_catalogue();
    KVGLOBALS.PROFILES[0].RESEARCHINGTECHNOLOGY = 2;
    KVGLOBALS.PROFILES[0].RESEARCHINGTECHNOLOGYSTARTMISSION = 0;
    KVGLOBALS.PROFILES[0].COMPLETEDTECHNOLOGY[1] = 1;
    KV_MENUGLOBALS.NUMNEWRESEARCH = 6;
    for (int i = 0; i < 6; ++i) KV_MENUGLOBALS.NEWRESEARCH[i] = i;
    KV_MENUGLOBALS.NEWPROFILENAME = "NAME";
    KV_MENUGLOBALS.NEWPROFILECALLSIGN = "CALLSIGN";
    KV_MENUGLOBALS.VIEWPROFILENAME = "ALICE";
    KV_MENUGLOBALS.VIEWPROFILECALLSIGN = "HAWK";

    // The backdrop alone (a screen number without a window of its own).
    show(8);
    const Frame backdrop = render("menu_backdrop");
    // The backdrop picture fills the window; the restricted-data lines are alert coloured.
    EXPECT_GT(backdrop.total(), 0);
    EXPECT_GT(backdrop.reddish(W / 2 - 200, 25, W / 2 + 200, 42), 40);
    EXPECT_GT(backdrop.reddish(W / 2 - 200, 739, W / 2 + 200, 755), 40);

    const struct {
        int32_t screen;
        const char* name;
    } screens[] = {{0, "menu_profile_list"},       {110, "menu_new_profile"},
                   {120, "menu_profile_properties"}, {2, "menu_briefing"},
                   {3, "menu_objective_map"},      {1, "menu_gunship_data"},
                   {200, "menu_mission_complete"}, {5, "menu_technology"},
                   {6, "menu_new_research"}};
    for (const auto& s : screens) {
        SCOPED_TRACE(s.name);
        KV_MENUGLOBALS.MENUFADE[8] = 0.0f;
        for (float& v : KV_MENUGLOBALS.MENUFADE) v = 0.0f;
        show(s.screen);
        const Frame f = render(s.name);
        // Inside the window the screen changes the picture, outside it nothing.
        EXPECT_GT(f.differing(backdrop, win_left() + 6, win_top() + 6, win_right() - 6, win_bottom() - 6),
                  20000);
        EXPECT_EQ(f.differing(backdrop, 0, win_top() - 30, win_left() - 2, win_bottom() + 30), 0);
        EXPECT_EQ(f.differing(backdrop, win_right() + 2, win_top() - 30, W, win_bottom() + 30), 0);
        EXPECT_EQ(f.differing(backdrop, 0, win_bottom() + 2, W, win_bottom() + 60), 0);
        // The window's white frame runs 4 pixels inside its edge, lighter than the inside.
        const int fy = win_bottom() - 60;
        EXPECT_GT(f.sum(win_left() + 4, fy), f.sum(win_left() + 7, fy) + 40);
        EXPECT_GT(f.sum(win_right() - 4, fy), f.sum(win_right() - 7, fy) + 40);
        // White text on the first content lines (each screen's title or first entry).
        EXPECT_GT(f.bright(win_left() + 8, content_top(), win_right() - 8, content_top() + 30), 40);
    }
}

TEST_F(MenuGl, ScreensCrossFadeAtTheirOwnOpacity) {
    two_pilots();
    show(8);
    const Frame backdrop = render();
    show(0);
    const Frame full = render();
    KV_MENUGLOBALS.MENUFADE[0] = 0.4f;  // the frame adds 0.05: drawn at 0.45
    const Frame half = render();
    const int x = win_left() + 20, y = win_bottom() - 20;
    const int d_full = std::abs(full.b(x, y) - backdrop.b(x, y));
    const int d_half = std::abs(half.b(x, y) - backdrop.b(x, y));
    EXPECT_GT(d_full, 10);
    EXPECT_GT(d_half, 2);
    EXPECT_LT(d_half, d_full);
}

// The loading and preloading screens draw their progress ring at their own fade, whatever
// opacity the mission's loading display was left at (a winch sequence leaves it at 0).
TEST_F(MenuGl, ProgressScreensFadeWithTheirScreen) {
    auto change_near_centre = [](const Frame& a, const Frame& b) {
        long sum = 0;
        for (int y = H / 2 - 70; y < H / 2 + 70; ++y)
            for (int x = W / 2 - 70; x < W / 2 + 70; ++x)
                sum += std::abs(a.r(x, y) - b.r(x, y)) + std::abs(a.g(x, y) - b.g(x, y)) +
                       std::abs(a.b(x, y) - b.b(x, y));
        return sum;
    };
    for (int32_t screen : {4, 10}) {
        SCOPED_TRACE(screen);
        KV_MENUGLOBALS = KV_MENUGLOBALSTYPE{};
        KV_MENUGLOBALS.YSPACER = 0.1f * H;
        show(8);
        const Frame backdrop = render();
        KVGLOBALS.LOADINGALPHA = 0.0f;
        show(screen);
        const Frame full = render(screen == 4 ? "menu_loading_fade_full" : "");
        EXPECT_EQ(KVGLOBALS.LOADINGALPHA, 0.0f) << "the mission's opacity was not given back";
        KV_MENUGLOBALS.MENUFADE[screen] = 0.25f;  // drawn at 0.3
        const Frame faint = render(screen == 4 ? "menu_loading_fade_faint" : "");
        const long d_full = change_near_centre(full, backdrop);
        const long d_faint = change_near_centre(faint, backdrop);
        EXPECT_GT(d_full, 20000) << "no ring at full visibility";
        EXPECT_GT(d_faint, 0);
        EXPECT_LT(d_faint, d_full / 2) << "the ring did not fade with its screen";
    }
    KVGLOBALS.LOADINGALPHA = 1.0f;
}

TEST_F(MenuGl, ProfileListShowsTwoEntriesAndScrollsToTheNewProfileEntry) {
    show(0);
    const Frame none = render("menu_profile_list_empty");
    two_pilots();
    KV_MENUGLOBALS.SELPROFILE = 0;
    const Frame first_page = render();
    KV_MENUGLOBALS.SELPROFILE = 2;
    KV_MENUGLOBALS.TOPPROFILE = 1;
    const Frame scrolled = render("menu_profile_list_scrolled");
    // Entry boxes: 136 pixels high from 22 below the content top, 8 apart.
    const int e0 = content_top() + 22, e1 = e0 + 144;
    const int x1 = win_left() + 12, x2 = win_right() - 24;
    // With no profiles only one entry (NEW PROFILE) stands in the list.
    EXPECT_EQ(none.differing(first_page, x1, e1 + 4, x2, e1 + 130), first_page.differing(none, x1, e1 + 4, x2, e1 + 130));
    EXPECT_GT(first_page.bright(x1, e1 + 20, x2, e1 + 110), 150) << "the second pilot's block";
    EXPECT_LT(none.bright(x1, e1 + 20, x2, e1 + 110), 10);
    // The selected entry is drawn in the selected style: bluer towards its bottom.
    EXPECT_GT(first_page.b(W / 2, e0 + 130), first_page.b(W / 2, e1 + 130) + 15);
    // After scrolling the second slot holds the "NEW PROFILE" button, selected, and the
    // first slot the second pilot.
    EXPECT_GT(scrolled.b(W / 2, e1 + 130), scrolled.b(W / 2, e0 + 130) + 15);
    EXPECT_LT(scrolled.bright(x1, e1 + 20, x2, e1 + 50), scrolled.bright(x1, e0 + 20, x2, e0 + 50));
    // The scroll thumb moved down.
    const int bar_x = win_right() - 10 - 3;
    EXPECT_GT(first_page.sum(bar_x, e0 + 10), first_page.sum(bar_x, e1 + 120) + 60);
    EXPECT_GT(scrolled.sum(bar_x, e1 + 120), scrolled.sum(bar_x, e0 + 10) + 60);
}

TEST_F(MenuGl, NewProfileFieldsButtonsAndTheBlinkingCursor) {
    show(110);
    KV_MENUGLOBALS.NEWPROFILENAME = "NAME";
    KV_MENUGLOBALS.NEWPROFILECALLSIGN = "CALLSIGN";
    KV_MENUGLOBALS.SELNEWPROFILE = 0;
    KV_MENUGLOBALS.TEXTCURSORFADE = 3.14159f / 2.0f - 0.2f;  // the frame adds nothing; sine near 1
    const Frame on = render("menu_new_profile_cursor");
    KV_MENUGLOBALS.TEXTCURSORFADE = 3.0f * 3.14159f / 2.0f;  // sine -1: no cursor
    const Frame off = render();
    const int line4 = content_top() + 60;
    int name_w = menu_text_width("NAME");
    const int cx = W / 2 + 12 + name_w;
    EXPECT_GT(on.differing(off, cx - 2, line4 - 3, cx + 8, line4 + 14, 3), 4) << "cursor after the value";
    EXPECT_EQ(on.differing(off, 0, 0, cx - 3, H, 3), 0) << "nothing else blinks";
    // The selected field's label is white, the other one pale blue at half opacity.
    const int line6 = content_top() + 90;
    EXPECT_GT(on.bright(W / 2 - 140, line4, W / 2 - 10, line4 + 12), 30);
    EXPECT_EQ(on.bright(W / 2 - 160, line6, W / 2 - 10, line6 + 12, 220), 0);
    // Accept and Cancel: the one matching the row is selected.
    KV_MENUGLOBALS.SELNEWPROFILE = 3;
    const Frame cancel = render("menu_new_profile_cancel");
    const int by = content_top() + 150 - 15 + 27;
    const int accept_x = W / 2 - 200 + 50, cancel_x = W / 2 + 100 + 50;
    EXPECT_GT(cancel.b(cancel_x, by), cancel.b(accept_x, by) + 15);
    EXPECT_GT(off.b(accept_x, by) + 15, off.b(cancel_x, by)) << "row 0: neither button selected";
}

TEST_F(MenuGl, PropertiesHighlightTheirItemAndTheMissionWindowShowsItsPage) {
    two_pilots();
    KV_MENUGLOBALS.VIEWPROFILENAME = "ALICE";
    KV_MENUGLOBALS.VIEWPROFILECALLSIGN = "HAWK";
    show(120);
    const int by = content_top() + 318 - 48 + 27;
    const float slot = 580.0f / 4.0f;
    auto button_blue = [&](const Frame& f, int i) {
        return f.b(static_cast<int>(W / 2 - 290 + slot * (i + 0.5f)), by);
    };
    for (int sel = 0; sel < 4; ++sel) {
        KV_MENUGLOBALS.SELPROPERTIES = sel;
        const Frame f = render();
        for (int i = 0; i < 4; ++i) {
            if (i == sel) continue;
            EXPECT_GT(button_blue(f, sel), button_blue(f, i) + 15) << sel << " vs " << i;
        }
    }
    // Items 4 and 5 light a field instead of a button.
    KV_MENUGLOBALS.SELPROPERTIES = 5;
    const Frame field = render("menu_profile_properties_field");
    for (int i = 0; i < 4; ++i) EXPECT_LT(button_blue(field, i), button_blue(field, 0) + 5);

    for (float& v : KV_MENUGLOBALS.MENUFADE) v = 0.0f;
    KVGLOBALS.CURPROFILE = 0;
    KVGLOBALS.MISSIONSTARTED = 1;
    show(2);
    const Frame page1 = render();
    // The page number at the top right of the content, right-aligned at its edge.
    auto pale_blue = [&](const Frame& f, int x1, int x2) {
        int n = 0;
        for (int y = content_top(); y < content_top() + 13; ++y)
            for (int x = x1; x < x2; ++x)
                if (f.b(x, y) > 200 && f.r(x, y) < 190 && f.r(x, y) > 90) ++n;
        return n;
    };
    EXPECT_GT(pale_blue(page1, W / 2 + 220, W / 2 + 290), 20);
    EXPECT_EQ(pale_blue(page1, W / 2 + 291, W / 2 + 300), 0);
    for (float& v : KV_MENUGLOBALS.MENUFADE) v = 0.0f;
    show(1);
    const Frame page3 = render();
    EXPECT_NE(page3.differing(page1, W / 2 + 220, content_top(), W / 2 + 290, content_top() + 13), 0)
        << "another page number";
}

TEST_F(MenuGl, ObjectiveMapShowsTheMinimapInItsSquare) {
    two_pilots();
    show(3);
    const Frame f = render();
    const int32_t map = KVGLOBALS.MINIMAPTEX;
    KVGLOBALS.MINIMAPTEX = 0;
    const Frame without = render();
    KVGLOBALS.MINIMAPTEX = map;
    // The map image fills 240 x 240 pixels from line 4 (its frame one pixel around it).
    const int y1 = content_top() + 60, y2 = content_top() + 300;
    EXPECT_GT(f.differing(without, W / 2 - 120, y1, W / 2 + 120, y2), 240 * 240 * 3 / 4);
    EXPECT_EQ(f.differing(without, 0, 0, W, y1 - 1), 0);
    EXPECT_EQ(f.differing(without, 0, y2 + 1, W, H), 0);
    EXPECT_EQ(f.differing(without, 0, 0, W / 2 - 121, H), 0);
    EXPECT_EQ(f.differing(without, W / 2 + 121, 0, W, H), 0);
    // Mission and objective lines above it, centred.
    EXPECT_GT(f.bright(W / 2 - 200, content_top(), W / 2 + 200, content_top() + 13, 150), 40);
    EXPECT_EQ(f.bright(win_left() + 8, content_top(), W / 2 - 200, content_top() + 13, 150), 0);
}

TEST_F(MenuGl, ConfirmAndOkBoxesDrawOnTopWithTheirSelection) {
    two_pilots();
    show(120);
    KV_MENUGLOBALS.VIEWPROFILENAME = "ALICE";
    KV_MENUGLOBALS.VIEWPROFILECALLSIGN = "HAWK";
    const Frame beneath = render();
    KV_MENUGLOBALS.CONFIRMBOX = 1;
    KV_MENUGLOBALS.CONFIRMFADE = 1.0f;
    KV_MENUGLOBALS.CONFIRMSELECTION = 1;
    KV_MENUGLOBALS.CONFIRMTITLE = "CONFIRM REMOVAL";
    KV_MENUGLOBALS.CONFIRMMESSAGE = "Are you sure you want to remove profile 'ALICE/HAWK'?\\nIt cannot be undone.";
    const Frame box = render("menu_confirm_box");
    const int top = static_cast<int>(std::nearbyint(3.616f * 76.8f));
    EXPECT_GT(box.differing(beneath, W / 2 - 226, top + 4, W / 2 + 226, top + 191), 20000);
    EXPECT_EQ(box.differing(beneath, 0, top, W / 2 - 232, top + 195), 0);
    EXPECT_EQ(box.differing(beneath, 0, top + 197, W, H), 0) << "the screen beneath stays";
    // Title line and two message lines, centred.
    EXPECT_GT(box.bright(W / 2 - 80, top + 10, W / 2 + 80, top + 22), 30);
    EXPECT_GT(box.bright(W / 2 - 200, top + 40, W / 2 + 200, top + 52), 60);
    EXPECT_GT(box.bright(W / 2 - 100, top + 55, W / 2 + 100, top + 67), 30);
    // Cancel is selected: its bottom is the bluer one.
    const int by = top + 10 + 135 + 27;
    const int accept_x = W / 2 - 155 + 50, cancel_x = W / 2 + 75 + 50;
    EXPECT_GT(box.b(cancel_x, by), box.b(accept_x, by) + 15);
    KV_MENUGLOBALS.CONFIRMSELECTION = 0;
    const Frame accept = render();
    EXPECT_GT(accept.b(accept_x, by), accept.b(cancel_x, by) + 15);

    // A closed box fades out over the following frames and then draws nothing.
    KV_MENUGLOBALS.CONFIRMBOX = 0;
    KV_MENUGLOBALS.CONFIRMFADE = 0.05f;
    const Frame gone = render();
    EXPECT_EQ(gone.differing(beneath, 0, 0, W, H), 0);

    KV_MENUGLOBALS.OKBOX = 1;
    KV_MENUGLOBALS.OKFADE = 1.0f;
    KV_MENUGLOBALS.OKTITLE = "Profile Saved!";
    KV_MENUGLOBALS.OKMESSAGE = "";
    const Frame ok = render("menu_ok_box");
    EXPECT_GT(ok.differing(beneath, W / 2 - 226, top + 4, W / 2 + 226, top + 191), 20000);
    // One selected "OK" button in the middle, none at the confirm buttons' places.
    EXPECT_GT(ok.b(W / 2, by), ok.b(accept_x - 30, by) + 15);
    EXPECT_GT(ok.bright(W / 2 - 20, by - 20, W / 2 + 20, by - 6), 8);
}

TEST_F(MenuGl, ResearchScreensListFieldsAndTheRunningResearch) {
    research_catalogue();
    KVGLOBALS.PROFILES[0] = sample_pilot("ALICE", "HAWK");
    KVGLOBALS.PROFILES[0].MISSIONNUM = 1;
    KVGLOBALS.PROFILES[0].RESEARCHINGTECHNOLOGY = 2;           // time 3: (1 - 0 + 1) / 4 = 50 %
    KVGLOBALS.PROFILES[0].RESEARCHINGTECHNOLOGYSTARTMISSION = 0;
    KVGLOBALS.PROFILES[0].COMPLETEDTECHNOLOGY[12] = 0;
    show(5);
    const Frame tech = render();
    // Installed technology 0 at column 0, row 0 of the grid (5 lines below the top).
    const int grid_y = content_top() + 75;
    EXPECT_GT(tech.bright(W / 2 - 282, grid_y, W / 2 - 180, grid_y + 12, 150), 20);
    EXPECT_EQ(tech.bright(W / 2 - 282, grid_y + 15, W / 2 - 180, grid_y + 27, 150), 0);
    KVGLOBALS.PROFILES[0].COMPLETEDTECHNOLOGY[1] = 1;
    KVGLOBALS.TECHNOLOGYDATA[12].TITLE = "Second Column";
    KVGLOBALS.PROFILES[0].COMPLETEDTECHNOLOGY[12] = 1;        // column 1, row 1
    const Frame more = render("menu_technology");
    EXPECT_GT(more.bright(W / 2 - 282, grid_y + 15, W / 2 - 180, grid_y + 27, 150), 20);
    EXPECT_GT(more.bright(W / 2 - 170, grid_y + 15, W / 2 - 60, grid_y + 27, 150), 20);
    // The titles keep to their 120-pixel columns.
    KVGLOBALS.TECHNOLOGYDATA[1].TITLE = "A Very Long Research Title That Runs On";
    const Frame clipped = render("menu_technology_long_title");
    EXPECT_EQ(clipped.differing(more, W / 2 - 170, grid_y, W / 2 + 290, grid_y + 40), 0)
        << "the long title is shortened inside its own column";

    for (float& v : KV_MENUGLOBALS.MENUFADE) v = 0.0f;
    KV_MENUGLOBALS.NUMNEWRESEARCH = 6;
    for (int i = 0; i < 6; ++i) KV_MENUGLOBALS.NEWRESEARCH[i] = i;
    KV_MENUGLOBALS.SELNEWRESEARCH = 1;
    KV_MENUGLOBALS.TOPNEWRESEARCH = 0;
    show(6);
    const Frame list = render("menu_new_research");
    const int f0 = content_top() + 60;
    auto field_blue = [&](const Frame& f, int k) { return f.b(W / 2 - 100, f0 + 62 * k + 56); };
    EXPECT_GT(field_blue(list, 1), field_blue(list, 0) + 15);
    EXPECT_GT(field_blue(list, 1), field_blue(list, 2) + 15);
    // Scrolled by two: the cursor's entry (row 3) is the second visible box.
    KV_MENUGLOBALS.SELNEWRESEARCH = 3;
    KV_MENUGLOBALS.TOPNEWRESEARCH = 2;
    const Frame scrolled = render("menu_new_research_scrolled");
    EXPECT_GT(field_blue(scrolled, 1), field_blue(scrolled, 0) + 15);
    // A cursor row past the list or an index past the table draws nothing wrong.
    KV_MENUGLOBALS.NUMNEWRESEARCH = 3;
    KV_MENUGLOBALS.TOPNEWRESEARCH = 7;
    KV_MENUGLOBALS.NEWRESEARCH[2] = 9999;
    const Frame short_list = render();
    EXPECT_GT(short_list.differing(scrolled, win_left(), f0, win_right(), f0 + 248), 1000);
    EXPECT_LT(short_list.bright(win_left() + 8, f0 + 124 + 4, win_right() - 20, f0 + 124 + 50), 5)
        << "the slot of the refused index stays empty";
}

// The menu frame hands the OpenGL state back as the mission view expects it: culling, depth
// test and lighting on, the ordinary blend function, no clip, and both matrix stacks as deep
// as before; a whole run of menu frames therefore never overflows a stack.
TEST_F(MenuGl, AMenuFrameLeavesTheOpenGlStateAsItFoundIt) {
    two_pilots();
    research_catalogue();
    GLint proj_depth = 0, model_depth = 0;
    glGetIntegerv(GL_PROJECTION_STACK_DEPTH, &proj_depth);
    glGetIntegerv(GL_MODELVIEW_STACK_DEPTH, &model_depth);
    for (int32_t screen : {7, 9, 0, 110, 120, 2, 3, 1, 200, 5, 6}) {
        SCOPED_TRACE(screen);
        for (float& v : KV_MENUGLOBALS.MENUFADE) v = 0.0f;
        show(screen);
        KV_MENUGLOBALS.CONFIRMFADE = 0.5f;
        KV_MENUGLOBALS.OKFADE = 0.5f;
        KV_MENUGLOBALS.NUMNEWRESEARCH = 5;
        render();
        EXPECT_TRUE(glIsEnabled(GL_CULL_FACE));
        EXPECT_TRUE(glIsEnabled(GL_DEPTH_TEST));
        EXPECT_TRUE(glIsEnabled(GL_LIGHTING));
        EXPECT_FALSE(glIsEnabled(GL_SCISSOR_TEST));
        EXPECT_FALSE(glIsEnabled(GL_TEXTURE_2D));
        GLint src = 0, dst = 0, depth = 0, mode = 0;
        glGetIntegerv(GL_BLEND_SRC, &src);
        glGetIntegerv(GL_BLEND_DST, &dst);
        EXPECT_EQ(src, GL_SRC_ALPHA);
        EXPECT_EQ(dst, GL_ONE_MINUS_SRC_ALPHA);
        glGetIntegerv(GL_PROJECTION_STACK_DEPTH, &depth);
        EXPECT_EQ(depth, proj_depth);
        glGetIntegerv(GL_MODELVIEW_STACK_DEPTH, &depth);
        EXPECT_EQ(depth, model_depth);
        glGetIntegerv(GL_MATRIX_MODE, &mode);
        EXPECT_EQ(mode, GL_MODELVIEW);
        EXPECT_EQ(glGetError(), static_cast<GLenum>(GL_NO_ERROR));
    }
}

// Names from a damaged profile file (bytes outside printable ASCII, far too long) and records
// pointing past every table draw without harm.
TEST_F(MenuGl, DamagedRecordsDrawWithoutHarm) {
    PROFILETYPE p = sample_pilot(std::string("\x01\xff\x80 BAD") + std::string(500, 'W'), "\t\n");
    p.MISSIONNUM = 5000;
    p.ARMOURCLASS = -7;
    p.OBJECTIVENUM = 99;
    p.RESEARCHINGTECHNOLOGY = 300;
    KVGLOBALS.PROFILES[0] = p;
    KVGLOBALS.CURPROFILE = 4000;
    KV_MENUGLOBALS.NUMPROFILES = 1000;
    KV_MENUGLOBALS.SELPROFILE = -20;
    KV_MENUGLOBALS.TOPPROFILE = 500;
    KV_MENUGLOBALS.NUMNEWRESEARCH = -3;
    KV_MENUGLOBALS.CREDITLINES = 100000;
    KV_MENUGLOBALS.VIEWPROFILENAME = std::string(3, '\x7f');
    for (int32_t screen : {9, 0, 120, 2, 3, 1, 200, 5, 6}) {
        for (float& v : KV_MENUGLOBALS.MENUFADE) v = 0.0f;
        show(screen);
        render();
    }
    KVGLOBALS.CURPROFILE = -1;
    for (int32_t screen : {2, 3, 1, 200, 5}) {
        for (float& v : KV_MENUGLOBALS.MENUFADE) v = 0.0f;
        show(screen);
        render();
    }
    EXPECT_EQ(glGetError(), static_cast<GLenum>(GL_NO_ERROR));
    KVGLOBALS.PROFILES[0] = PROFILETYPE{};
}

TEST_F(MenuGl, LongTitlesAreShortenedToTheirRoom) {
    const std::string title = "Extended Pod Magazine With Extras";
    const std::string fit = menu_fit_text(title, 108);
    EXPECT_LE(menu_text_width(fit), 108);
    EXPECT_EQ(fit.substr(fit.size() - 3), "...");
    EXPECT_EQ(title.rfind(fit.substr(0, fit.size() - 3), 0), 0u) << "a prefix of the title";
    EXPECT_EQ(menu_fit_text("Tail Pod", 108), "Tail Pod");
    EXPECT_EQ(menu_fit_text("Anything", 2), "");
}
