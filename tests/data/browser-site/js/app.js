// Marks the page as scripted once it has loaded.
document.addEventListener('DOMContentLoaded', function () {
  document.body.setAttribute('data-scripted', 'yes');
});
