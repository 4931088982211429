/*
 * writer.h -- gridpick's writer thread: the files of one-file-per-field
 * output are created, written and named on a thread of their own while the
 * main thread reads and decodes the next fields.
 *
 * The main thread takes a free job (gp_writer_job), fills in the name, the
 * data set's bytes and its count, and submits it; the writer thread writes
 * the jobs in the order submitted.  Finished jobs are handed back to the
 * main thread, in that order, through gp_output_written (output.cpp), which
 * prints what the write had to say and counts the data sets.  The writer
 * thread touches only the jobs' buffers and the file system: it prints
 * nothing and reads no state of the codec or of the run.
 */
#ifndef GRIDPICK_WRITER_H
#define GRIDPICK_WRITER_H

#include <string>

#include "config.h"
#include "ov_whole.h"

enum {
    GP_JOB_SKIPPED = 1   /* not written: an earlier file could not be created */
};

struct gp_write_job {
    char name[GP_OUT_FILE_LEN];   /* the file to make */
    ov_image image;               /* the data set's bytes, file magic included */
    int count;                    /* data sets it holds (2 for a wind pair) */
    int fd;                       /* its unnamed file, or -1: gp_write_file opens it */
    int status;                   /* gp_write_file's result, or GP_JOB_SKIPPED */
    std::string notes;            /* system errors met, as perror prints them */
};

/* Makes the file path holding image, whole or not at all (output.cpp): in
 * opened when it is not -1 (an unnamed file in path's folder, closed
 * here).  Messages are appended to notes, not printed.  Returns 0; -1 when
 * it could not be written, -2 when not even the magic was, GP_CANNOT_CREATE
 * when it cannot be created and the run is to end. */
int gp_write_file(const char *path, const ov_image &image, std::string &notes, int opened = -1);

/* Called on the main thread with each finished job, in submission order. */
void gp_output_written(const gp_write_job &job);

/* A free job for the main thread to fill, starting the writer thread on
 * first use; waits for one when all are queued, handing back finished ones
 * (gp_output_written) meanwhile.  The job stays the writer's until
 * submitted. */
gp_write_job &gp_writer_job();

/* Queues the job taken last from gp_writer_job. */
void gp_writer_submit();

/* True when a file of this name is queued or being written. */
bool gp_writer_holds(const char *name);

/* Waits until every submitted job is written and handed back, then ends
 * the thread.  Nothing when it was not started. */
void gp_writer_finish();

#endif
