#include "tests/catalogue/MealFormsTest.h"

#include "platform/db/WQuery.h"

long MealFormsTest::AddCourse(const std::string& name) {
    Exec("insert into Courses( name ) values( ? )", {WDataValue(name)});
    return static_cast<long>(Value("select max( id ) from Courses").AsLong());
}

long MealFormsTest::AddMeal(const std::string& name, std::initializer_list<const char*> courses) {
    Exec("insert into Meals( name ) values( ? )", {WDataValue(name)});
    const long meal = static_cast<long>(Value("select max( id ) from Meals").AsLong());
    for (const char* course : courses)
        Exec("insert into MealCourses( meal, course ) select ?, id from Courses where name = ?",
             {WDataValue(meal), WDataValue(std::string(course))});
    return meal;
}

std::multiset<std::string> MealFormsTest::MenuItemsOf(long mealId) {
    WQuery query(main.transaction_KVO.get());
    query.SetSQL("select Courses.name from MealCourses join Courses on Courses.id = MealCourses.course "
                 "where MealCourses.meal = " + std::to_string(mealId));
    EXPECT_TRUE(query.Open()) << query.LastError();
    std::multiset<std::string> names;
    for (long row = 0; row < query.GetNumRows(); ++row) names.insert(query.GetValue(row, 0).AsText());
    return names;
}

std::vector<std::string> Entries(const WListBox* list) {
    std::vector<std::string> texts;
    for (int i = 0; i < list->GetCount(); ++i) texts.push_back(list->GetItemText(i));
    return texts;
}

std::vector<std::string> Column(const WGrid* grid, int column) {
    std::vector<std::string> texts;
    for (long row = 0; row < grid->GetNumRows(); ++row) texts.push_back(grid->GetCellText(row, column));
    return texts;
}
