#pragma once
// Queries that a form's generated set-up opens.

class WForm;
class WQuery;

// Opens the query; when that fails, shows "Query AutoOpen Warning" with the driver's error and
// asks "Do you wish to exit the program?". Yes quits the application. Answers whether the query
// is open.
bool AutoOpenQuery(WForm* form, WQuery* query);
