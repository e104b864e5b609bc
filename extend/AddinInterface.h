/*
 * The interface between the desk program and an add-in library.
 *
 * An add-in library is a shared object that exports the two functions named
 * below (C linkage). The program reads the library's information, registers
 * its classes in the program's registry, creates objects of its classes by
 * name and calls their methods by name. The library stays loaded until the
 * program ends; objects are released when the main window closes. Every call
 * happens on the program's user-interface thread.
 *
 * A library that does not export both functions, or whose information carries
 * another interface version, is not an add-in library: it cannot be
 * registered and its classes cannot be created.
 *
 * Texts are UTF-8. Identifiers (library id, class ids) are written braced,
 * e.g. "{0B8D2F60-5E7A-4C1D-9F3B-2A6E8C4D1F07}".
 */
#ifndef CONSIGN_ADDIN_INTERFACE_H
#define CONSIGN_ADDIN_INTERFACE_H

#include <stddef.h>
#include <stdint.h>

#ifdef __cplusplus
extern "C" {
#endif

#define ADDIN_INTERFACE_VERSION 1

/* The exported functions' names. */
#define ADDIN_LIBRARY_INFO_SYMBOL "addin_library_info"
#define ADDIN_CREATE_SYMBOL "addin_create"

/* A class of the library. */
typedef struct AddinClassInfo {
    const char* name;  /* the class name; the registered name is "<library name>.<class name>" */
    const char* clsid; /* braced class id */
    uint16_t major;    /* class version */
    uint16_t minor;
} AddinClassInfo;

/* The library's information. */
typedef struct AddinLibraryInfo {
    int interface_version; /* ADDIN_INTERFACE_VERSION */
    const char* libid;     /* braced library id */
    const char* name;      /* library name */
    uint16_t major;        /* library version */
    uint16_t minor;
    const char* help_string; /* may be "" */
    int class_count;
    const AddinClassInfo* classes;
} AddinLibraryInfo;

/* One argument of a method call. */
enum { ADDIN_VALUE_EMPTY = 0, ADDIN_VALUE_TEXT = 1, ADDIN_VALUE_INT64 = 2 };
typedef struct AddinValue {
    int kind;         /* ADDIN_VALUE_* */
    const char* text; /* ADDIN_VALUE_TEXT: the text */
    int64_t number;   /* ADDIN_VALUE_INT64: the number */
} AddinValue;

/* Error numbers a method reports for the usual faults. */
#define ADDIN_ERROR_NO_SUCH_METHOD 438
#define ADDIN_ERROR_ARGUMENT_COUNT 450

typedef struct AddinObject AddinObject;

typedef struct AddinObjectCalls {
    /* Calls the method `method` with `argc` (0 to 5) arguments. The arguments
     * are passed by reference: the method may change them (a text it sets must
     * stay valid until the call returns); the program does not read them back.
     * Returns 0 on success; otherwise an error number (ADDIN_ERROR_NO_SUCH_METHOD
     * for a method the class does not have), with a description written into
     * error_text (at most error_capacity bytes including the final zero). */
    int (*invoke)(AddinObject* self, const char* method, int argc, AddinValue* argv, char* error_text,
                  size_t error_capacity);
    /* Ends the object. */
    void (*release)(AddinObject* self);
} AddinObjectCalls;

struct AddinObject {
    const AddinObjectCalls* calls;
};

/* Exported by the library. */
typedef const AddinLibraryInfo* (*AddinLibraryInfoFunction)(void);
/* Exported by the library: a new object of the class named `class_name` (the
 * class name of AddinClassInfo), or NULL when it cannot be created. */
typedef AddinObject* (*AddinCreateFunction)(const char* class_name);

/*
 * Host calls. The argument placeholder %B001% passes the address of this
 * table as a 64-bit integer. Its calls run on the desk's own database
 * connection, inside the desk's current transaction when one is open.
 */
#define ADDIN_HOST_CALLS_VERSION 1

typedef struct AddinHostCalls {
    int version; /* ADDIN_HOST_CALLS_VERSION */
    /* Runs a query and keeps its rows: 0 on success, -1 on failure. */
    int (*query)(const char* sql);
    /* The kept rows: their count, the field count, a field's name and a
     * cell as text ("" for NULL or a position outside the rows). The texts
     * stay valid until the next call of the table. */
    int (*row_count)(void);
    int (*field_count)(void);
    const char* (*field_name)(int field);
    const char* (*cell)(int row, int field);
    /* Runs a statement: 0 on success, -1 on failure. */
    int (*execute)(const char* sql);
    /* The text of the last failure of query or execute ("" after a success). */
    const char* (*last_error)(void);
} AddinHostCalls;

/*
 * Passwords are never put on a started program's command line, where every
 * user of the computer could read them: a program shortcut passes an empty
 * argument in place of %B004% and %C002% and sets these environment
 * variables of the started program instead.
 */
#define ADDIN_ENV_DB_PASSWORD "CONSIGN_ADDIN_DB_PASSWORD"
#define ADDIN_ENV_WORKER_PASSWORD "CONSIGN_ADDIN_WORKER_PASSWORD"

#ifdef __cplusplus
}
#endif

#endif
