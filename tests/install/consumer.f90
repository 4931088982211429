! consumer.c in Fortran: the codec through its plain names, the ov library
! through its bindings.  Usage: consumer ARCHIVE OUT.ov
program consumer
  implicit none
  include 'gridpick/ov.inc'
  integer :: ov_write
  external :: ov_write
  integer :: kgrib(8000), ksec0(2), ksec1(1037), ksec2(1024), ksec3(2), ksec4(570)
  real :: psec2(265), psec3(2), psec4(19000)
  real, allocatable :: got(:, :)
  integer :: hdr(OV_HEADER_WORDS), back(OV_HEADER_WORDS), unused(2)
  integer :: klenp = 19000, kleng = 8000, kret, kword, ni, nj, n, fd, size, r, c
  character(len=256) :: archive, out
  character(len=80) :: title, line

  call get_command_argument(1, archive)
  call get_command_argument(2, out)
  open (10, file=archive, access='stream', form='unformatted', status='old')
  inquire (10, size=size)
  read (10) kgrib(1:min(size / 4, 8000))
  close (10)
  kret = 1
  call fldcod(ksec0, ksec1, ksec2, psec2, ksec3, psec3, ksec4, psec4, klenp, kgrib, kleng, &
              kword, 'D', kret)
  ni = ksec2(2)
  nj = ksec2(3)
  n = ksec4(1)
  if (kret /= 0 .or. n /= ni * nj) call fail('decoding failed')

  hdr = 0
  hdr(OV_W_ID) = 999
  hdr(OV_W_TYPE) = OV_CONTOUR
  hdr(OV_W_PARAM) = ksec1(6)
  hdr(OV_W_LEVEL) = ksec1(8)
  hdr(OV_W_YEAR) = ksec1(10)
  hdr(OV_W_MONTH) = ksec1(11)
  hdr(OV_W_DAY) = ksec1(12)
  hdr(OV_W_TIME) = transfer(real(ksec1(13)), 0)
  hdr(OV_W_BAD_VALUE) = transfer(-999.999, 0)
  hdr(OV_W_START_LAT) = transfer(ksec2(4) / 1000.0, 0)
  hdr(OV_W_LAT_INCREMENT) = transfer(ksec2(10) / 1000.0, 0)
  hdr(OV_W_NUM_ROWS) = nj
  hdr(OV_W_NUM_COLUMNS) = ni
  call ov_create(out, fd)
  if (fd < 0) call fail('cannot create the ov file')
  if (ov_write(fd, hdr, '', 'sample field ', '', '', unused, psec4, psec4) /= 0) &
    call fail('writing failed')
  call ov_close(fd)

  allocate (got(nj, ni))
  call ov_open(out, fd, 0)
  back = 0
  call ov_read(fd, back, 0, line, 80, title, 0, line, 0, line, unused(1), unused(2), &
               n, got, 0, got, 1, psec2, psec2)
  hdr(OV_W_HEADER_SIZE) = 136 + 12
  hdr(OV_W_VERSION) = 2
  hdr(OV_W_TITLE_LENGTH) = 12
  if (any(back(1:OV_W_GRID_TYPE) /= hdr(1:OV_W_GRID_TYPE))) call fail('header read back')
  if (title(1:12) /= 'sample field') call fail('title read back')
  do c = 1, ni
    do r = 1, nj
      if (transfer(got(r, c), 0) /= transfer(psec4((r - 1) * ni + c), 0)) call fail('data read back')
    end do
  end do
  write (line, '(8(a,i0),a)') 'param ', ksec1(6), ' level ', ksec1(8), ' date ', ksec1(10), &
    '/', ksec1(11), '/', ksec1(12), ' ', ksec1(13), 'z grid ', ni, 'x', nj
  print '(a)', trim(line)

contains

  subroutine fail(what)
    character(len=*), intent(in) :: what
    print '(2a)', 'consumer: ', what
    stop 1
  end subroutine fail

end program consumer
