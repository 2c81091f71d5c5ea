#pragma once
// A small trip for looking at reports: three travellers, five days, breakfasts, lunches and
// suppers with a few menu items each (Coffee in fl oz among them), enough for a detailed plan
// of two pages. Statements for a copy of the empty template; the trip's id is 1.

inline constexpr const char* SampleTripSql =
    "insert into People( id, name, appetite ) values( 1, 'Ann', 1.0 ), ( 2, 'Ben', 1.5 ), ( 3, 'Cat', 0.8 );"
    "insert into Ingredients( id, name, def_measure, unit_measure, unit_measure_name, unit_measure_size ) values"
    " ( 1, 'Rolled oats', 10, 0, '', 1 ), ( 2, 'Milk powder', 10, 0, '', 1 ), ( 3, 'Raisins', 10, 0, '', 1 ),"
    " ( 4, 'Pasta', 10, 0, '', 1 ), ( 5, 'Tomato sauce', 1, 0, '', 1 ), ( 6, 'Salami', 10, 1, 'slices', 12 ),"
    " ( 7, 'Tortillas', 14, 0, '', 1 ), ( 8, 'Cheese', 10, 1, 'wedges', 0 ), ( 9, 'Honey', 10, 0, '', 1 ),"
    " ( 10, 'Tea bags', 14, 0, '', 1 ), ( 11, 'Olive oil', 1, 0, '', 1 ), ( 12, 'Coffee', 6, 0, '', 1 );"
    "insert into Courses( id, name, feeds, notes ) values( 1, 'Porridge', 2, 'Soak the oats overnight in a closed pot.' ),"
    " ( 2, 'Pasta with sauce', 4, 'Salt the water; keep the sauce warm in its bag.' ), ( 3, 'Wraps', 1, NULL ),"
    " ( 4, 'Tea', 1, NULL ), ( 5, 'Coffee', 1, 'Brew it strong: the fluffy filter goes first.' );"
    "insert into CourseIngredients( course, ingredient, measure, amount, unit_measure ) values"
    " ( 1, 1, 10, 120, 0 ), ( 1, 2, 4, 2, 0 ), ( 1, 3, 10, 30, 0 ), ( 1, 9, 5, 0.25, 0 ),"
    " ( 2, 4, 11, 0.5, 0 ), ( 2, 5, 2, 0.5, 0 ), ( 2, 11, 4, 2, 0 ),"
    " ( 3, 7, 14, 2, 0 ), ( 3, 6, 10, 4, 1 ), ( 3, 8, 10, 1, 1 ), ( 4, 10, 14, 1, 0 ), ( 5, 12, 6, 8, 0 );"
    "insert into Meals( id, name ) values( 1, 'Trail breakfast' ), ( 2, 'Camp supper' ), ( 3, 'Trail lunch' );"
    "insert into MealCourses( meal, course ) values( 1, 1 ), ( 1, 5 ), ( 2, 2 ), ( 2, 4 ), ( 3, 3 );"
    "insert into Trips( id, name, location, trip_date ) values( 1, 'Lakes loop', 'Northern lakes', '2024-06-14' );"
    "insert into TripPeople( person, trip ) values( 1, 1 ), ( 2, 1 ), ( 3, 1 );"
    "insert into TripDays( id, trip, day_num ) values( 1, 1, 1 ), ( 2, 1, 2 ), ( 3, 1, 3 ), ( 4, 1, 4 ), ( 5, 1, 5 );"
    "insert into DayFoodStops( id, trip_day, food_stop ) values( 1, 1, 4 ), ( 2, 1, 7 ), ( 3, 2, 1 ), ( 4, 2, 4 ),"
    " ( 5, 2, 7 ), ( 6, 3, 1 ), ( 7, 3, 4 ), ( 8, 3, 7 ), ( 9, 4, 1 ), ( 10, 4, 4 ), ( 11, 4, 7 ), ( 12, 5, 1 );"
    "insert into DayMeals( day_stop, meal ) values( 1, 3 ), ( 2, 2 ), ( 3, 1 ), ( 4, 3 ), ( 5, 2 ), ( 6, 1 ),"
    " ( 7, 3 ), ( 8, 2 ), ( 9, 1 ), ( 10, 3 ), ( 11, 2 ), ( 12, 1 );"
    "insert into DayCourses( day_stop, course ) values( 2, 4 ), ( 8, 5 );"
    "insert into MealPeople( person, day_stop ) select p.id, s.id from People p, DayFoodStops s where s.id <> 4 or p.id <> 3;";
