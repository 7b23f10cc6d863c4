// An ordered tree of model objects: the folders and files of an extract list,
// the folders and shortcuts of a shortcut table.
//
// The tree owns its nodes and each node owns its data object. In the archive
// a tree is its root node, each node written in pre-order as its data
// reference, its 32-bit child count and then its children.
#pragma once

#include <cstdint>
#include <memory>
#include <vector>

#include "archive/archive.h"

class CNode : public CObject {
 public:
  CNode() = default;
  explicit CNode(std::shared_ptr<CObject> data) : data_(std::move(data)) {}

  // Appends a child and makes this node its parent; returns the child.
  CNode* AddChild(std::unique_ptr<CNode> child);
  CNode* AddChild(std::shared_ptr<CObject> data) { return AddChild(std::make_unique<CNode>(std::move(data))); }

  size_t GetChildCount() const { return children_.size(); }
  // Null past the end.
  CNode* GetChild(size_t index) const { return index < children_.size() ? children_[index].get() : nullptr; }
  bool HasChildren() const { return !children_.empty(); }
  CNode* GetParent() const { return parent_; }
  CObject* GetData() const { return data_.get(); }
  const std::shared_ptr<CObject>& GetDataPtr() const { return data_; }
  void SetData(std::shared_ptr<CObject> data) { data_ = std::move(data); }
  // The child count the archive announced (before the children were read).
  uint32_t GetStoredChildCount() const { return stored_child_count_; }

  // Reads or writes this node and its subtree. Loading checks that every
  // data object is of `data_class` (or null).
  void SerializeNode(CArchive& ar, const CRuntimeClass* data_class);

 private:
  // Declared before the children so that children are destroyed first.
  std::shared_ptr<CObject> data_;
  std::vector<std::unique_ptr<CNode>> children_;
  CNode* parent_ = nullptr;
  uint32_t stored_child_count_ = 0;
};

class CObTree : public CObject {
 public:
  // `data_class`: the class every node's data must be of.
  explicit CObTree(const CRuntimeClass* data_class) : data_class_(data_class) {}

  CNode* GetRoot() { return &root_; }
  const CNode* GetRoot() const { return &root_; }
  // Empties the tree: a fresh root without data.
  void Clear() { root_ = CNode(); }

  void Serialize(CArchive& ar) override;

 private:
  CNode root_;
  uint32_t value_ = 0;  // carried by the author's tool, used by nobody
  const CRuntimeClass* data_class_;
};
