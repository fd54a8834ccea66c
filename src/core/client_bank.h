// IClientBank: the interface through which the host drives the component, in
// the order of its slots. Obtain one from Norv_CreateObject(kClassClientBank)
// (component/registration.h) and release it with Norv_ReleaseObject.
//
// Call order. The component does not check it; each member says what happens
// when a host breaks it.
//
//   Export:     BeginExport, then ExportDoc once per payment order, then
//               EndExport (EndByError true when the host abandons the run).
//   Import:     BeginImport, then BeginImportByAccount (until it returns true,
//               or give up), then ImportDoc until it returns false, then
//               EndImport.
//   Rate load:  LoadRate, alone, at any time.
//
// One export run and one import run may be open on the same object at once;
// they share nothing.
//
// REQUIRES for every member: the calling thread is the one that created the
// object, and its host library (host/host_library.h) is still installed.
//
// Errors. Every failure reaches the host as a thrown ComError (number, source,
// description); no member catches one on the host's behalf. Besides the
// numbers listed per member, any member may raise what the host's own objects
// raise, the classic runtime errors of file access (52-76, see
// runtime/com_error.h) and 91 when a host service is missing. After an error
// the object keeps the state it had at the failure: files written so far stay
// open until EndExport, a statement dialog stays until EndImport.
#pragma once

#include <cstdint>

#include "../runtime/date.h"
#include "../runtime/export.h"
#include "records.h"

namespace norv {

class NORV_EXPORT IClientBank {
 public:
  // Releases the export target (its files close; nothing is renamed to a
  // backup) and unloads a statement dialog that is still there (its file closes).
  virtual ~IClientBank() = default;

  // Starts an export run: shows the export target dialog, which proposes the
  // two files YYMMDD.mok (local payments) and YYMMDD.tar (foreign payments)
  // dated `DateEnd` in the folder last used, and on OK sets both counts to 0.
  // No file is created yet: each comes with the first line written to it.
  // `DateBeg` is not used.
  //
  // Raises 1100 (kErrExportCancelled, no source) when the user cancels; the
  // counts then keep their values and a later BeginExport works normally.
  // A second BeginExport without EndExport closes nothing: a file still open
  // keeps its name and receives the new run's lines.
  virtual void BeginExport(Date DateBeg, Date DateEnd) = 0;

  // Ends an export run and closes both files.
  //
  // `EndByError` false: shows the summary (the number of documents written to
  // each file in this run). `EndByError` true (the host abandons the run after
  // a failure): each file that is still open becomes a backup, its name plus
  // ".bak", replacing an older backup of that name, and a notice names the
  // backup (the foreign one when both were open). Only read, never changed.
  //
  // May be called in any state: without a BeginExport it shows the counts as
  // they stand. Errors of the backup, of the message window or of the resource
  // texts end it at that point and leave the files not yet handled open.
  virtual void EndExport(bool& EndByError) = 0;

  // Writes `Doc` as one line of the local payment file (`DocType` 1,
  // kLocalPayment) or of the foreign payment file (any other value), and
  // counts it. The line is converted by the host's line converter first. The
  // component reads `DocType` and `Doc` and changes neither.
  //
  // REQUIRES: BeginExport confirmed. Without it the files have no names and the
  // first write fails with a file error (52, 75 or 76).
  //
  // Raises, with the document's number, date and the field's label in the
  // source text:
  //   0x80040066 (kErrBadPaymentType)  PaymentType is not 1, 2 or 3;
  //   0x80040070 (kErrRequiredEmpty)   a required field is empty;
  //   0x80040071 (kErrValueTooLong)    a field is longer than it may be.
  // Raises 1103 (kErrLineNotWritten, source "Norv_RazizeRuveRO_DOS") when the
  // line cannot be written; the description names the file and the line. Raises 6 (overflow)
  // for the 32768th document of one kind in a run. After any error the line is
  // not written, the count may already include the document, and the files
  // stay open: end the run with EndExport(true).
  virtual void ExportDoc(int32_t& DocType, PaymentDoc& Doc) = 0;

  // Starts an import run: prepares (loads, does not show) a new statement file
  // dialog, releasing the one of an earlier run. `head` is not touched.
  // Returns true; errors of the dialog's preparation are raised instead.
  virtual bool BeginImport(StHead& head) = 0;

  // Ends an import run: unloads the statement dialog, which closes the
  // statement file. Without an import run it does nothing.
  virtual void EndImport() = 0;

  // Shows the statement dialog; the user picks a statement file, which opens,
  // and chooses whether credit-side documents are wanted. The file is then
  // scanned for the lines of `head.Account` (exact comparison).
  //
  // Returns true when the user confirmed a file that has lines of the account:
  // `head.DateFrom` and `head.DateTo` then hold the earliest and the latest
  // operation date of those lines, `head.CreditSideDocs` the user's choice,
  // the object keeps a copy of `head` for ImportDoc, and the file is rewound.
  // Returns false, leaving `head` unchanged, when the user cancelled or the file
  // holds no line of the account; the dialog stays, so the host may call again.
  //
  // REQUIRES: BeginImport. Without it raises 91 (kErrObjectNotSet) and changes
  // nothing. Raises the reader's errors for a malformed line of the file: 13
  // (type mismatch) for a field that is not a number, 6 (overflow) for one out
  // of range, 0x80040071 (kErrValueTooLong) for a field longer than it may be.
  virtual bool BeginImportByAccount(StHead& head) = 0;

  // Reads the next line of the statement file into `Doc`. `Doc.DocKind` tells
  // what the line is: 1 an operation of the account, 2 the account's balance
  // line, 3 nothing to import (the end marker "GALAS" or another account's
  // line). Returns false at the end of the file, leaving `Doc` untouched, and
  // keeps returning false after that.
  //
  // REQUIRES: BeginImportByAccount returned true. Without a dialog (no
  // BeginImport, or after EndImport) raises 91; after BeginImport alone the
  // account is empty, so other accounts' lines come back as kind 3. Raises the
  // reader's errors for a malformed line (as BeginImportByAccount) and 13 (type
  // mismatch) for a date that cannot be read; the file position is then past
  // that line, so the next call reads the line after it.
  virtual bool ImportDoc(StatementDoc& Doc) = 0;

  // Shows the rate dialog of this thread (one per thread, kept between loads
  // with the user's choices): the user picks a rate file and a host rate type
  // for each of its rate columns, and OK stores the rates in the host's books
  // and reports how many currency lines were handled.
  //
  // Failures inside the dialog are shown to the user there (number 0x80040064,
  // kErrRateLoadFailed) and do not reach the caller; rates stored before the
  // failure stay stored. Raises only what the dialog's creation raises (91
  // without a host library).
  virtual void LoadRate() = 0;
};

}  // namespace norv
