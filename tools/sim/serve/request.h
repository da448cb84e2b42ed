// A request to the settings page as its routes and guard see it, and the answer they give: plain
// records, so that what is checked and answered does not depend on the HTTP server beneath.
#pragma once

#include <cstddef>
#include <memory>
#include <string>
#include <utility>
#include <vector>

namespace vorla::sim {

struct Request {
  std::string method;
  std::string path;                                             // decoded, without the query
  std::vector<std::pair<std::string, std::string>> headers;     // every line, in order
  std::vector<std::pair<std::string, std::string>> parameters;  // the query's, decoded

  // The first header of that name (in any case), or "".
  std::string header(const std::string& name) const;
  // How many header lines have that name: a guarded header must come exactly once.
  std::size_t headerCount(const std::string& name) const;
  // The first query parameter of that name, or "".
  std::string parameter(const std::string& name) const;
};

struct Reply {
  int status = 200;
  std::string type;  // the media type of `body`
  std::string body;
};

// A response sent as it comes (an event stream): the server asks for more whenever it can send.
class StreamSource {
 public:
  virtual ~StreamSource() = default;
  // The next text to send, or nullptr when there is none yet; the server asks again when it is
  // woken, and at every beat, with `beat` true.
  virtual std::shared_ptr<const std::string> next(bool beat) = 0;
  // Nothing more will come: the response ends.
  virtual bool ended() = 0;
};

// {"error": message} or {"message": message} with its status, as every answer of a change is.
Reply jsonReply(int status, const std::string& field, const std::string& text);

}  // namespace vorla::sim
