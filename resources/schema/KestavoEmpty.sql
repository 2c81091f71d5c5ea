-- The empty Kestavo database, version 9: every table, the view TripMeals and the reference
-- rows of the measure tables and the food stops. The build turns this script into
-- KestavoEmpty.db with the sqlite3 program.
--
-- Column types are chosen for what the SQLite3 ODBC driver reports, since the table data
-- file picks its value tags by that type:
--   INTEGER -> SQL_INTEGER, DOUBLE -> SQL_DOUBLE, VARCHAR(n) -> SQL_VARCHAR,
--   TEXT -> SQL_LONGVARCHAR (notes, licensor), BLOB -> SQL_BINARY (recipe chunks),
--   TIMESTAMP -> SQL_TYPE_TIMESTAMP and DATE -> SQL_TYPE_DATE, both kept as the text written,
--   so a value reads back the same every time.
-- Every id is an INTEGER PRIMARY KEY: an explicit id is taken as given, an insert without
-- one gets the table's largest id plus one.
-- Names compare without regard to case. The foreign keys declared here are enforced once a
-- connection turns foreign keys on (FKSupport=1 in the data source); references to the
-- measure table from MeasureConversions are left undeclared, so that no pair of tables has
-- two keys between them.
--
-- Column order matters: the program addresses columns of "select *" by position and the
-- table data files carry values in column order.

PRAGMA foreign_keys = ON;

BEGIN;

CREATE TABLE MeasureTypes (
    id              INTEGER PRIMARY KEY,
    name            VARCHAR(40) COLLATE NOCASE
);

CREATE TABLE Measures (
    id              INTEGER PRIMARY KEY,
    name            VARCHAR(40) COLLATE NOCASE,
    description     VARCHAR(80) COLLATE NOCASE,
    measure_type    INTEGER REFERENCES MeasureTypes (id),
    metric          INTEGER DEFAULT 0,
    imperial        INTEGER DEFAULT 0,
    cooking_measure INTEGER DEFAULT 0
);

CREATE TABLE MeasureConversions (
    measure_from    INTEGER NOT NULL,
    measure_to      INTEGER NOT NULL,
    factor          DOUBLE NOT NULL,
    PRIMARY KEY (measure_from, measure_to)
);

-- The new ingredient's default measure is the plain units measure (id 14).
CREATE TABLE Ingredients (
    id                  INTEGER PRIMARY KEY,
    name                VARCHAR(255) COLLATE NOCASE,
    def_measure         INTEGER DEFAULT 14 REFERENCES Measures (id),
    unit_measure        INTEGER DEFAULT 0,
    unit_measure_name   VARCHAR(255) COLLATE NOCASE DEFAULT '',
    unit_measure_size   DOUBLE DEFAULT 1.0,
    notes               TEXT,
    modified            TIMESTAMP,
    licensor            TEXT
);

CREATE TABLE Courses (
    id              INTEGER PRIMARY KEY,
    name            VARCHAR(255) COLLATE NOCASE,
    feeds           DOUBLE DEFAULT 1.0,
    recipe_format   INTEGER DEFAULT 1,
    notes           TEXT,
    modified        TIMESTAMP,
    licensor        TEXT
);

-- A menu item's recipe document, cut into chunks of at most 5000 bytes.
CREATE TABLE Recipes (
    course          INTEGER REFERENCES Courses (id),
    seq             INTEGER,
    data            BLOB
);
CREATE INDEX RecipesByCourse ON Recipes (course, seq);

CREATE TABLE CourseIngredients (
    id              INTEGER PRIMARY KEY,
    course          INTEGER REFERENCES Courses (id),
    ingredient      INTEGER REFERENCES Ingredients (id),
    measure         INTEGER REFERENCES Measures (id),
    amount          DOUBLE DEFAULT 1.0,
    unit_measure    INTEGER DEFAULT 0
);
CREATE INDEX CourseIngredientsByCourse ON CourseIngredients (course);
CREATE INDEX CourseIngredientsByIngredient ON CourseIngredients (ingredient);

CREATE TABLE Meals (
    id              INTEGER PRIMARY KEY,
    name            VARCHAR(255) COLLATE NOCASE,
    notes           TEXT,
    modified        TIMESTAMP,
    licensor        TEXT
);

CREATE TABLE MealCourses (
    id              INTEGER PRIMARY KEY,
    meal            INTEGER REFERENCES Meals (id),
    course          INTEGER REFERENCES Courses (id)
);
CREATE INDEX MealCoursesByMeal ON MealCourses (meal);
CREATE INDEX MealCoursesByCourse ON MealCourses (course);

CREATE TABLE People (
    id              INTEGER PRIMARY KEY,
    name            VARCHAR(255) COLLATE NOCASE,
    notes           TEXT,
    modified        TIMESTAMP,
    appetite        DOUBLE DEFAULT 1.0
);

CREATE TABLE FoodStops (
    id              INTEGER PRIMARY KEY,
    name            VARCHAR(80) COLLATE NOCASE,
    seq             INTEGER
);

CREATE TABLE Trips (
    id              INTEGER PRIMARY KEY,
    name            VARCHAR(255) COLLATE NOCASE,
    location        VARCHAR(255) COLLATE NOCASE,
    trip_date       DATE,
    notes           TEXT,
    modified        TIMESTAMP
);

CREATE TABLE TripDays (
    id              INTEGER PRIMARY KEY,
    day_num         INTEGER,
    trip            INTEGER REFERENCES Trips (id),
    notes           TEXT
);
CREATE INDEX TripDaysByTrip ON TripDays (trip);

CREATE TABLE DayFoodStops (
    id              INTEGER PRIMARY KEY,
    trip_day        INTEGER REFERENCES TripDays (id),
    food_stop       INTEGER REFERENCES FoodStops (id),
    notes           TEXT
);
CREATE INDEX DayFoodStopsByDay ON DayFoodStops (trip_day);

CREATE TABLE DayMeals (
    id              INTEGER PRIMARY KEY,
    day_stop        INTEGER REFERENCES DayFoodStops (id),
    meal            INTEGER REFERENCES Meals (id)
);
CREATE INDEX DayMealsByStop ON DayMeals (day_stop);
CREATE INDEX DayMealsByMeal ON DayMeals (meal);

CREATE TABLE DayCourses (
    id              INTEGER PRIMARY KEY,
    day_stop        INTEGER REFERENCES DayFoodStops (id),
    course          INTEGER REFERENCES Courses (id)
);
CREATE INDEX DayCoursesByStop ON DayCourses (day_stop);
CREATE INDEX DayCoursesByCourse ON DayCourses (course);

CREATE TABLE MealPeople (
    id              INTEGER PRIMARY KEY,
    person          INTEGER REFERENCES People (id),
    day_stop        INTEGER REFERENCES DayFoodStops (id)
);
CREATE INDEX MealPeopleByStop ON MealPeople (day_stop);
CREATE INDEX MealPeopleByPerson ON MealPeople (person);

CREATE TABLE TripPeople (
    id              INTEGER PRIMARY KEY,
    person          INTEGER REFERENCES People (id),
    trip            INTEGER REFERENCES Trips (id)
);
CREATE INDEX TripPeopleByTrip ON TripPeople (trip);
CREATE INDEX TripPeopleByPerson ON TripPeople (person);

-- The unique names are looked up one by one when a table data file is imported and whenever a
-- name is made unique; without an index each look-up reads the whole table.
CREATE INDEX IngredientsByName ON Ingredients (name);
CREATE INDEX CoursesByName ON Courses (name);
CREATE INDEX MealsByName ON Meals (name);
CREATE INDEX PeopleByName ON People (name);
CREATE INDEX TripsByName ON Trips (name);

CREATE TABLE DBVersion (
    version         INTEGER NOT NULL
);
INSERT INTO DBVersion (version) VALUES (9);

-- One row per trip stop, as the trip stops list shows it: the day as "Day n", the stop's
-- meals and then its single menu items in the order they were added, and its guests by
-- name, each list joined with ", ". A stop without food or guests shows an empty text.
CREATE VIEW TripMeals AS
SELECT
    TripDays.trip       AS TripID,
    TripDays.id         AS TripDayID,
    DayFoodStops.id     AS DayFoodStopID,
    'Day ' || TripDays.day_num AS Day,
    FoodStops.name      AS FoodStop,
    coalesce((SELECT group_concat(food, ', ') FROM (
        SELECT Meals.name AS food, 0 AS kind, DayMeals.id AS added
          FROM DayMeals JOIN Meals ON Meals.id = DayMeals.meal
         WHERE DayMeals.day_stop = DayFoodStops.id
        UNION ALL
        SELECT Courses.name, 1, DayCourses.id
          FROM DayCourses JOIN Courses ON Courses.id = DayCourses.course
         WHERE DayCourses.day_stop = DayFoodStops.id
        ORDER BY kind, added)), '') AS Food,
    coalesce((SELECT group_concat(guest, ', ') FROM (
        SELECT People.name AS guest
          FROM MealPeople JOIN People ON People.id = MealPeople.person
         WHERE MealPeople.day_stop = DayFoodStops.id
        ORDER BY People.name, MealPeople.id)), '') AS Travelers,
    TripDays.day_num    AS day_num,
    FoodStops.seq       AS seq
FROM DayFoodStops
JOIN TripDays ON TripDays.id = DayFoodStops.trip_day
JOIN FoodStops ON FoodStops.id = DayFoodStops.food_stop;

-- Reference rows. Their ids are the same in every installation: table data files carry
-- measure and food stop ids unchanged.

INSERT INTO MeasureTypes (id, name) VALUES
    (1, 'volume'),
    (2, 'weight'),
    (3, 'units');

-- Cooking measures count as metric and imperial alike until the cooking-measure option
-- says otherwise; the units measure counts as both.
INSERT INTO Measures (id, name, description, measure_type, metric, imperial, cooking_measure) VALUES
    ( 1, 'ml',     'millilitres',                      1, 1, 0, 0),
    ( 2, 'l',      'litres',                           1, 1, 0, 0),
    ( 3, 'tsp',    'teaspoons',                        1, 1, 1, 1),
    ( 4, 'tbsp',   'tablespoons',                      1, 1, 1, 1),
    ( 5, 'cups',   'cups of 8 fluid ounces',           1, 1, 1, 1),
    ( 6, 'fl oz',  'US fluid ounces',                  1, 0, 1, 0),
    ( 7, 'pints',  'US pints',                         1, 0, 1, 0),
    ( 8, 'quarts', 'US quarts',                        1, 0, 1, 0),
    ( 9, 'gallons','US gallons',                       1, 0, 1, 0),
    (10, 'g',      'grams',                            2, 1, 0, 0),
    (11, 'kg',     'kilograms',                        2, 1, 0, 0),
    (12, 'oz',     'ounces',                           2, 0, 1, 0),
    (13, 'lb',     'pounds',                           2, 0, 1, 0),
    (14, 'units',  'whole items, counted',             3, 1, 1, 0);

-- Conversions between every two measures of the same type, both ways, from each measure's
-- size in millilitres or grams; the factor from a to b is size(a) / size(b), so the two
-- directions are reciprocal. Volume and weight do not convert into each other (that would
-- take the ingredient's density), and units convert into nothing.
CREATE TEMP TABLE MeasureSizes (measure INTEGER PRIMARY KEY, size DOUBLE NOT NULL);
INSERT INTO MeasureSizes (measure, size) VALUES
    ( 1, 1.0),
    ( 2, 1000.0),
    ( 3, 4.92892159375),
    ( 4, 14.78676478125),
    ( 5, 236.5882365),
    ( 6, 29.5735295625),
    ( 7, 473.176473),
    ( 8, 946.352946),
    ( 9, 3785.411784),
    (10, 1.0),
    (11, 1000.0),
    (12, 28.349523125),
    (13, 453.59237);
INSERT INTO MeasureConversions (measure_from, measure_to, factor)
SELECT f.id, t.id, fs.size / ts.size
  FROM Measures f
  JOIN Measures t ON t.measure_type = f.measure_type AND t.id <> f.id
  JOIN MeasureSizes fs ON fs.measure = f.id
  JOIN MeasureSizes ts ON ts.measure = t.id
 ORDER BY f.id, t.id;
DROP TABLE MeasureSizes;

-- The stops of a day, in the order of the day.
INSERT INTO FoodStops (id, name, seq) VALUES
    (1, 'Breakfast',         1),
    (2, 'Morning break',     2),
    (3, 'Morning rest stop', 3),
    (4, 'Lunch',             4),
    (5, 'Afternoon break',   5),
    (6, 'Afternoon rest stop', 6),
    (7, 'Dinner',            7),
    (8, 'Evening snack',     8);

COMMIT;
