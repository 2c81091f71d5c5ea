#include "shell/HelpTopics.h"

const IdTextPair HelpTopics[] = {
    {100, "::/idh_main.htm#IDH_MAIN"},
    {101, "::/idh_what_is_kvo.htm#IDH_WHAT_IS_KVO"},
    {102, "::/idh_resources.htm#IDH_RESOURCES"},
    {104, "::/idh_tutorials.htm#IDH_TUTORIALS"},
    {105, "::/idh_data_structure.htm#IDH_DATA_STRUCTURE"},
    {106, "::/idh_ingredients.htm#IDH_INGREDIENTS"},
    {107, "::/idh_notes.htm#IDH_NOTES"},
    {108, "::/idh_uploading_data.htm#IDH_UPLOADING_DATA"},
    {109, "::/idh_find_item.htm#IDH_FIND_ITEM"},
    {110, "::/idh_courses.htm#IDH_COURSES"},
    {111, "::/idh_edit_course.htm#IDH_EDIT_COURSE"},
    {112, "::/idh_edit_course.htm#IDH_COURSE_INGREDIENT"},
    {113, "::/idh_meals.htm#IDH_MEALS"},
    {114, "::/idh_edit_meal.htm#IDH_EDIT_MEAL"},
    {115, "::/idh_sel_left_right.htm#IDH_SEL_LEFT_RIGHT"},
    {116, "::/idh_people.htm#IDH_PEOPLE"},
    {117, "::/idh_people.htm#IDH_EDIT_PERSON"},
    {118, "::/idh_trips.htm#IDH_TRIPS"},
    {119, "::/idh_trip_wizard.htm#IDH_TRIP_WIZARD"},
    {120, "::/idh_trips.htm#IDH_EDIT_TRIP"},
    {121, "::/idh_trip_stops.htm#IDH_TRIP_STOPS"},
    {122, "::/idh_trip_days.htm#IDH_TRIP_DAYS"},
    {123, "::/idh_trip_travelers.htm#IDH_TRIP_TRAVELERS"},
    {124, "::/idh_trip_stops.htm#IDH_EDIT_TRIP_STOP"},
    {125, "::/idh_trip_stops.htm#IDH_ADD_TRIP_STOP"},
    {126, "::/idh_reports.htm#IDH_REPORTS"},
    {127, "::/idh_trips.htm#IDH_TRIP_DATE"},
    {128, "::/idh_options.htm#IDH_OPTIONS"},
    {129, "::/idh_import.htm#IDH_IMPORT"},
    {130, "::/idh_export.htm#IDH_EXPORT"},
    {131, "::/idh_save_restore.htm#IDH_SAVE_RESTORE"},
    {132, "::/idh_clear_database.htm#IDH_CLEAR_DATABASE"},
    {133, "::/idh_trip_stops.htm#IDH_MEAL_GUESTS"},
    {134, "::/idh_edit_course.htm#IDH_RECIPE"},
    {135, "::/idh_import.htm#IDH_WAIT_DLG"},
    {136, "::/idh_tutorials.htm#IDH_TUT_INGREDIENTS"},
    {137, "::/idh_tutorials.htm#IDH_TUT_MENU_ITEMS"},
    {138, "::/idh_tutorials.htm#IDH_TUT_MEALS"},
    {139, "::/idh_tutorials.htm#IDH_TUT_DEHYDRATE"},
    {140, "::/idh_tutorials.htm#IDH_TUT_TRIPS"},
    {141, "::/idh_conversion.htm#IDH_CONVERSION"},
    {0, nullptr},
};

const char* FindIdText(const IdTextPair* table, int id) {
    for (const IdTextPair* pair = table; pair->text; ++pair)
        if (pair->id == id) return pair->text;
    return nullptr;
}
