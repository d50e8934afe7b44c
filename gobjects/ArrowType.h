// The line-end shapes of lines and arrows, as the drawing attributes store them (plain int values 0 to 3).
#pragma once

enum ARROW_TYPE
{
    ARROW_NONE = 0,      // plain end
    ARROW_BAR = 1,       // a stroke 72 pixels long across the line
    ARROW_TRIANGLE = 2,  // a filled arrow head
    ARROW_NOTCHED = 3,   // a filled arrow head with a notched back
};
