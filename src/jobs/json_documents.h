// JsonDocuments: a file of JSON objects cut into its documents, one at a time:
// the elements of a top-level array (when the first byte that is not blank is
// '['), or else the lines of JSON Lines that are not blank. The cut follows
// strings and nesting without parsing them (and without recursion), reads the
// file through a fixed buffer and holds one document at a time, so memory
// grows with the largest document, not with the file. It also finds what JSON
// parsers let pass: a control character inside a string.
#pragma once

#include <cstdint>
#include <cstdio>
#include <memory>
#include <string>
#include <string_view>

namespace norv::jobs {

class JsonDocuments {
 public:
  enum class Cut {
    kDocument,     // `bytes` holds the next document
    kEnd,          // no more documents
    kNotAnObject,  // a value that is no object where a document belongs: its first byte in `first`
    kMalformed,    // the file is no array or JSON Lines of documents there: `problem` says why
  };
  struct Document {
    std::string bytes;
    int64_t offset = 0;       // of the document, or of the problem, in the file
    int64_t control_at = -1;  // a control character inside a string, in `bytes` (-1: none)
    int first = 0;            // kNotAnObject: the byte that begins the value (EOF: none)
    std::string problem;      // kMalformed
  };

  // Reads `file` (and closes it); errors reading it raise error 57.
  explicit JsonDocuments(std::FILE* file);
  explicit JsonDocuments(std::string_view bytes);
  ~JsonDocuments();
  JsonDocuments(const JsonDocuments&) = delete;
  JsonDocuments& operator=(const JsonDocuments&) = delete;

  // The next document, or why there is none; after kEnd, kNotAnObject and
  // kMalformed the file is done.
  Cut Next(Document& doc);

 private:
  class ByteSource;
  Cut NextElement(Document& doc);
  Cut NextLine(Document& doc);
  Cut Finish(Document& doc);
  int64_t TakeObject(std::string& bytes);
  void SkipBlanks();

  std::unique_ptr<ByteSource> in_;
  bool started_ = false;
  bool in_array_ = false;
  bool first_element_ = true;
  bool finished_ = false;
};

}  // namespace norv::jobs
