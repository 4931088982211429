/*
 * export.h -- GP_EXPORT marks the entry points of the installed libraries.
 *
 * The libraries are built with every symbol hidden; only the routines
 * declared with GP_EXPORT in the public headers are visible to programs that
 * link them.  For those programs the mark changes nothing.
 */
#ifndef GRIDPICK_EXPORT_H
#define GRIDPICK_EXPORT_H

#if defined(__GNUC__) || defined(__clang__)
#define GP_EXPORT __attribute__((visibility("default")))
#else
#define GP_EXPORT
#endif

#endif
