// An immutable text whose storage is shared with the texts it was derived from, so that a
// journal of whole-text snapshots costs little more than the edits between them.
#pragma once

#include <cstddef>
#include <cstdint>
#include <utility>

#include "shell/text.h"

namespace tavi {

// The text lives in a persistent B+ tree: short leaves of characters under reference-counted
// immutable nodes, all leaves at the same depth. Deriving a new text copies only the leaves
// that change and the nodes above them; everything else is shared. Copying a SharedText is
// cheap (one reference).
class SharedText {
 public:
  // Fill limits of the tree. Every node but the root keeps at least the minimum, so the
  // depth stays logarithmic and the text never crumbles into tiny leaves.
  static constexpr int32_t kMaxLeaf = 256;  // code units per leaf
  static constexpr int32_t kMinLeaf = kMaxLeaf / 4;
  static constexpr int32_t kMaxChildren = 16;
  static constexpr int32_t kMinChildren = kMaxChildren / 4;

  SharedText() = default;  // the empty text
  static SharedText from(TextView text);

  // A text equal to `newText` that shares this one's storage for the longest common prefix
  // and, after it, the longest common suffix; only the middle is stored anew.
  SharedText derive(TextView newText) const;
  // This text with [start, end) replaced by `insert` (0 <= start <= end <= length(), else
  // std::out_of_range): only the leaves the range touches are stored anew, so the cost is
  // the edit's, not the text's.
  SharedText replaced(int32_t start, int32_t end, TextView insert) const;

  int32_t length() const;
  Text str() const;
  char16_t at(int32_t index) const;  // 0 <= index < length(); throws std::out_of_range
  friend bool operator==(const SharedText& a, const SharedText& b);

  // Bytes currently held by all texts' storage: node objects and their character data.
  static size_t liveBytes();

  // The tree's figures, for tests and diagnostics. `wellFormed` says that every leaf is at
  // the same depth, the lengths add up and every node but the root respects the limits.
  struct Shape {
    int32_t height = 0;  // 0 for no node or a single leaf
    int32_t leaves = 0;
    bool wellFormed = true;
  };
  Shape shape() const;

 private:
  struct Node;
  struct Tree;  // the tree algorithms

  // An owning reference to an immutable node (intrusive count, thread-safe like shared_ptr).
  class NodeRef {
   public:
    NodeRef() = default;
    explicit NodeRef(const Node* node);
    NodeRef(const NodeRef& other);
    NodeRef(NodeRef&& other) noexcept;
    NodeRef& operator=(NodeRef other) noexcept;
    ~NodeRef();
    const Node* get() const { return node_; }
    const Node* operator->() const { return node_; }
    const Node& operator*() const { return *node_; }
    explicit operator bool() const { return node_ != nullptr; }

   private:
    const Node* node_ = nullptr;
  };

  explicit SharedText(NodeRef root) : root_(std::move(root)) {}

  NodeRef root_;
};

}  // namespace tavi
